// The scheduler that classifies the size runs of a search on several threads.

#include "search/content_runs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "support/temp_tree.h"

namespace {

using search::ContentRunScheduler;
using search::RunGroups;
using search::SizeRun;
using search::SkippedPath;
using search::SkipReason;
using testing_support::TempTree;

std::thread RefuseToStart(std::function<void()> /*work*/) {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
}

int g_startsLeft = 0;
std::thread StartSome(std::function<void()> work) {
    if (g_startsLeft-- <= 0) {
        return RefuseToStart(std::move(work));
    }
    return std::thread(std::move(work));
}

// Three runs: two pairs of copies, then copies around a file that vanished and one that grew.
struct ThreeRuns {
    TempTree tree;
    search::FileTable table;
    std::vector<SizeRun> runs = {{0, 2}, {2, 4}, {4, 8}};

    ThreeRuns() {
        EXPECT_TRUE(table.Create());
        const int folder = table.AddFolder(tree.Root());
        const auto add = [&](const std::string& name, const std::string& contents,
                             std::int64_t size) {
            tree.File(name, contents);
            struct stat st {};
            EXPECT_EQ(stat(tree.Path(name).c_str(), &st), 0);
            table.Append(folder, name, size, {static_cast<std::uint64_t>(st.st_dev), st.st_ino});
        };
        add("a1", "aaaaaa", 6);
        add("a2", "aaaaaa", 6);
        add("b1", "bbbbb", 5);
        add("b2", "bbbbb", 5);
        add("c1", "cccc", 4);
        add("gone", "cccc", 4);
        add("grown", "cccc and more", 4);
        add("c2", "cccc", 4);
        std::filesystem::remove(tree.Path("gone"));
    }

    void ExpectOutcomes(ContentRunScheduler& scheduler) {
        for (std::size_t index : {0u, 1u}) {
            const std::optional<search::RunOutcome> outcome = scheduler.Take(index);
            ASSERT_TRUE(outcome.has_value());
            const int first = runs[index].Begin;
            EXPECT_EQ(outcome->Groups, (RunGroups{{first, first + 1}}));
            EXPECT_TRUE(outcome->Skipped.empty());
        }
        const std::optional<search::RunOutcome> last = scheduler.Take(2);
        ASSERT_TRUE(last.has_value());
        EXPECT_EQ(last->Groups, (RunGroups{{4, 7}}));
        // In table order, each with its reason.
        ASSERT_EQ(last->Skipped.size(), 2u);
        EXPECT_EQ(last->Skipped[0].Path, tree.Path("gone"));
        EXPECT_EQ(last->Skipped[0].Reason, SkipReason::FileUnreadable);
        EXPECT_EQ(last->Skipped[0].Error, std::errc::no_such_file_or_directory);
        EXPECT_EQ(last->Skipped[1].Path, tree.Path("grown"));
        EXPECT_EQ(last->Skipped[1].Reason, SkipReason::FileChanged);
    }
};

TEST(ContentRunScheduler, HandsOverEachRunsGroupsAndTheFilesItLeftOut) {
    ThreeRuns three;
    std::atomic<std::int64_t> bytes{0};
    ContentRunScheduler scheduler(
        three.table, three.runs, [] { return false; }, 3, bytes);
    EXPECT_EQ(scheduler.Helpers(), 2u);
    three.ExpectOutcomes(scheduler);
}

TEST(ContentRunScheduler, HelpersThatCannotStartLeaveTheWorkToTheThreadsThatRun) {
    for (int starts : {0, 1}) {
        SCOPED_TRACE(starts);
        ThreeRuns three;
        std::atomic<std::int64_t> bytes{0};
        g_startsLeft = starts;
        ContentRunScheduler scheduler(
            three.table, three.runs, [] { return false; }, 4, bytes, StartSome);
        EXPECT_EQ(scheduler.Helpers(), static_cast<std::size_t>(starts));
        three.ExpectOutcomes(scheduler);
    }
}

}  // namespace
