// The search job as its host sees it: the order of the hand-overs, the end messages, the status
// rationing, memory failures, and the result table shared with a reading window thread.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <thread>

#include "search/Search_func.h"
#include "search/search.h"
#include "support/recording_host.h"
#include "support/temp_tree.h"

namespace {

using search::AllocationSite;
using testing_support::Contents;
using testing_support::RecordingHost;
using testing_support::RunSearch;
using testing_support::TempTree;

int CountEvents(const RecordingHost& host, const std::string& prefix) {
    return static_cast<int>(
        std::count_if(host.Events.begin(), host.Events.end(),
                      [&](const std::string& e) { return e.starts_with(prefix); }));
}

TEST(SearchJob, HandsOverInOrderAndEndsWithTheFinishedMessage) {
    TempTree tree;
    tree.File("a/one", "same");
    tree.File("b/two", "same");
    RecordingHost host({tree.Root()});
    RunSearch(host);

    const std::vector<std::string> expected = {"started", "status 0 ", "finished",
                                               "message 検索終了"};
    // The walk and the pass stay below the status divisors here, so apart from the group the
    // window hears only the start, the final status refresh, the end and the message.
    std::vector<std::string> withoutPosts;
    for (const std::string& e : host.Events) {
        if (!e.starts_with("post")) {
            withoutPosts.push_back(e);
        }
    }
    EXPECT_EQ(withoutPosts, expected);
    EXPECT_EQ(host.Events[1], "post 0");
    ASSERT_EQ(host.Groups.size(), 1u);
    EXPECT_EQ(host.Progress.Position.load(), 0);
    EXPECT_EQ(host.Progress.Total.load(), 0);
}

TEST(SearchJob, EmptyTargetListEndsStoppedInContentModeAndFinishedInNameModes) {
    struct Case {
        int mode;
        const char* message;
    } cases[] = {
        {search::kCompareContent, search::kMessageStopped},
        {search::kCompareStem, search::kMessageFinished},
        {search::kCompareName, search::kMessageFinished},
        {7, search::kMessageFinished},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        RecordingHost host({});
        RunSearch(host, {.Mode = c.mode});
        EXPECT_EQ(host.Messages, std::vector<std::string>{c.message});
        EXPECT_EQ(CountEvents(host, "finished"), 1);
    }
}

TEST(SearchJob, UnknownModeWalksButGroupsNothing) {
    TempTree tree;
    tree.File("a", "x");
    tree.File("b", "x");
    RecordingHost host({tree.Root()});
    RunSearch(host, {.Mode = 3});
    EXPECT_TRUE(host.Groups.empty());
    EXPECT_EQ(host.Messages, std::vector<std::string>{search::kMessageFinished});
}

TEST(SearchJob, WalkShowsEveryHundredthStatusRequest) {
    TempTree tree;
    // 250 entries in all: 5 folders with 49 files each.
    for (int folder = 0; folder < 5; ++folder) {
        for (int file = 0; file < 49; ++file) {
            tree.File("d" + std::to_string(folder) + "/f" + std::to_string(file), "");
        }
    }
    RecordingHost host({tree.Root()});
    RunSearch(host, {.Mode = 9});  // walk only
    ASSERT_EQ(host.Statuses.size(), 3u);
    EXPECT_EQ(host.Statuses[0].Phase, search::kPhaseWalk);
    EXPECT_EQ(host.Statuses[0].PhaseText, "名前確認中");
    EXPECT_EQ(host.Statuses[1].Phase, search::kPhaseWalk);
    EXPECT_EQ(host.Statuses[2].Phase, search::kPhaseEnded);
    EXPECT_EQ(host.Statuses[2].StatusText, "");
    EXPECT_TRUE(host.Statuses[0].StatusText.starts_with(tree.Path("d")));
}

TEST(SearchJob, ProgressCountsTheEntriesDirectlyInTheTarget) {
    TempTree tree;
    for (int i = 0; i < 100; ++i) {
        tree.File("f" + std::to_string(i), "");
    }
    RecordingHost host({tree.Root()});
    std::int32_t total = -1;
    std::int32_t position = -1;
    host.OnStatus = [&](const search::StatusReport& report) {
        if (report.Phase == search::kPhaseWalk) {
            total = host.Progress.Total;
            position = host.Progress.Position;
        }
    };
    RunSearch(host, {.Mode = 9});
    EXPECT_EQ(total, 102);  // the entries and "." and ".."
    EXPECT_EQ(position, 100);
}

TEST(SearchJob, StopDuringTheWalkSkipsTheContentPass) {
    TempTree tree;
    for (int i = 0; i < 300; ++i) {
        tree.File("f" + std::to_string(i), "same");
    }
    RecordingHost host({tree.Root()});
    std::shared_ptr<search::SearchSignal> signal;
    auto* job = new search::SFileSearch(host, host.Results, host.Progress);
    signal = job->Signal();
    host.OnStatus = [&](const search::StatusReport& report) {
        if (report.Phase == search::kPhaseWalk) {
            signal->RequestStop();
        }
    };
    job->Resume();
    signal->WaitForEnd();
    EXPECT_TRUE(host.Groups.empty());
    EXPECT_EQ(CountEvents(host, "post"), 0);
    EXPECT_EQ(CountEvents(host, "status 3"), 0);
    EXPECT_EQ(host.Messages, std::vector<std::string>{search::kMessageStopped});
    EXPECT_EQ(host.Events.back(), "message 検索を中断しました");
    EXPECT_EQ(host.Events[host.Events.size() - 2], "finished");
}

TEST(SearchJob, NoMemoryForTheFileTableEndsAtOnceWithoutHandOvers) {
    RecordingHost host({"/"});
    RunSearch(host, {.Gate = [](AllocationSite site) {
                  return site != AllocationSite::FileTableCreate;
              }});
    EXPECT_EQ(host.Events, std::vector<std::string>{"message メモリ不足です"});
}

TEST(SearchJob, AWorkerThatCannotStartEndsTheJobWithoutHandOvers) {
    RecordingHost host({"/"});
    auto* job = new search::SFileSearch(host, host.Results, host.Progress);
    job->SetAllocationGate(
        [](AllocationSite site) { return site != AllocationSite::WorkerThread; });
    const std::shared_ptr<search::SearchSignal> signal = job->Signal();
    EXPECT_FALSE(job->Resume());
    EXPECT_TRUE(signal->HasEnded());
    EXPECT_TRUE(host.Events.empty());
}

TEST(SearchJob, FileTableThatCannotGrowEndsWithAnError) {
    TempTree tree;
    for (int i = 0; i < 1100; ++i) {
        tree.File("f" + std::to_string(i), "x");
    }
    for (int mode : {search::kCompareContent, search::kCompareName}) {
        SCOPED_TRACE(mode);
        RecordingHost host({tree.Root()});
        RunSearch(host, {.Mode = mode, .Gate = [](AllocationSite site) {
                             return site != AllocationSite::FileTableGrowth;
                         }});
        EXPECT_EQ(host.Messages,
                  (std::vector<std::string>{search::kMessageOutOfMemory, search::kMessageError}));
        EXPECT_TRUE(host.Groups.empty());
        EXPECT_EQ(CountEvents(host, "finished"), 1);
    }
}

// Creates `count` pairs of equal files, each pair with its own size.
void MakePairs(TempTree& tree, int count) {
    for (int i = 0; i < count; ++i) {
        const std::string contents = Contents(static_cast<std::size_t>(i + 1), i);
        tree.File("a/" + std::to_string(i), contents);
        tree.File("b/" + std::to_string(i), contents);
    }
}

TEST(SearchJob, ResultTableGrowsAtGroup123AndKeepsTheEarlierGroups) {
    TempTree tree;
    MakePairs(tree, 300);
    RecordingHost host({tree.Root()});
    RunSearch(host);
    ASSERT_EQ(host.Groups.size(), 300u);
    EXPECT_EQ(host.Results.Capacity(), 384);
    for (int index = 0; index < 300; ++index) {
        const search::ResultGroup& group = host.Results.Group(index);
        ASSERT_EQ(group.MemberCount, 2);
        EXPECT_EQ(group.Members[0].FullPath(), host.Groups[static_cast<std::size_t>(index)][0]);
    }
    EXPECT_EQ(host.Messages, std::vector<std::string>{search::kMessageFinished});
}

TEST(SearchJob, ResultTableThatCannotGrowStopsAtGroup123) {
    TempTree tree;
    MakePairs(tree, 130);
    RecordingHost host({tree.Root()});
    RunSearch(host, {.Gate = [](AllocationSite site) {
                  return site != AllocationSite::ResultTableGrowth;
              }});
    EXPECT_EQ(host.Groups.size(), 123u);  // groups 0 to 122; group 123 stays empty
    EXPECT_EQ(host.Results.Group(123).MemberCount, 0);
    EXPECT_EQ(CountEvents(host, "post"), 124);
    EXPECT_EQ(host.Messages,
              (std::vector<std::string>{search::kMessageOutOfMemory, search::kMessageError}));
}

// A host whose hand-overs run on another thread, as the window's do: the worker queues each
// procedure and waits until the "window" thread has run it.
class WindowThreadHost : public RecordingHost {
  public:
    using RecordingHost::RecordingHost;

    void RunOnWindowThread(const std::function<void()>& procedure) override {
        std::unique_lock lock(m_mutex);
        m_queue.push_back(&procedure);
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return m_queue.empty() && m_running == nullptr; });
    }

    // Serves queued hand-overs until the job has ended; between them runs `idle`.
    void Serve(const search::SearchSignal& signal, const std::function<void()>& idle) {
        while (!signal.HasEnded()) {
            const std::function<void()>* next = nullptr;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait_for(lock, std::chrono::milliseconds(1),
                                   [&] { return !m_queue.empty(); });
                if (!m_queue.empty()) {
                    next = m_queue.front();
                    m_queue.pop_front();
                    m_running = next;
                }
            }
            if (next != nullptr) {
                (*next)();
                std::lock_guard lock(m_mutex);
                m_running = nullptr;
                m_changed.notify_all();
            }
            idle();
        }
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<const std::function<void()>*> m_queue;
    const std::function<void()>* m_running = nullptr;
};

TEST(SearchJob, WindowThreadMayWorkOnHandedOverGroupsWhileTheSearchGoesOn) {
    TempTree tree;
    MakePairs(tree, 400);
    WindowThreadHost host({tree.Root()});
    auto* job = new search::SFileSearch(host, host.Results, host.Progress);
    const std::shared_ptr<search::SearchSignal> signal = job->Signal();
    job->Resume();
    long touched = 0;
    // The window reads and changes every group it was given while the worker writes new groups
    // and grows the table: the groups must neither move nor race.
    host.Serve(*signal, [&] {
        for (std::size_t i = 0; i < host.Groups.size(); ++i) {
            search::ResultGroup& group = host.Results.Group(static_cast<int>(i));
            for (search::ResultMember& member : group.Members) {
                member.DeleteMark += 1;
                touched += static_cast<long>(member.Name.size());
            }
        }
        (void)host.Progress.Position.load();
    });
    EXPECT_EQ(host.Groups.size(), 400u);
    EXPECT_GT(touched, 0);
}

}  // namespace
