#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/codepage.h"
#include "platform/file_reader.h"
#include "platform/trash_folders.h"
#include "search/compare_mode.h"
#include "search/content_runs.h"
#include "search/file_table.h"
#include "search/progress.h"
#include "search/result_table.h"
#include "search/search_filter.h"
#include "search/search_host.h"
#include "search/skipped_path.h"

namespace search {

// The messages that a search shows, each in a box titled "Dopplet".
inline constexpr char kMessageFinished[] = "検索終了";
inline constexpr char kMessageStopped[] = "検索を中断しました";
inline constexpr char kMessageError[] = "エラーのため中断しました";
inline constexpr char kMessageOutOfMemory[] = "メモリ不足です";

// Where a search allocates the memory it cannot do without.
enum class AllocationSite { WorkerThread, FileTableCreate, FileTableGrowth, ResultTableGrowth };

// How the content pass decides that files are equal: by splitting each run of equal size into
// classes of identical contents (the default), or by comparing every pair in turn (the slow
// reference that the classes are checked against).
enum class ContentComparison { Classes, Pairwise };

// Decides whether an allocation may go ahead; a test returns false to force a memory failure.
using AllocationGate = std::function<bool(AllocationSite)>;

// The part of a search that outlives the job: the stop request and the news of its end.
class SearchSignal {
  public:
    void RequestStop() { m_stopRequested.store(true); }
    bool StopRequested() const { return m_stopRequested.load(); }

    bool HasEnded() const;
    // Blocks until the job has ended. Only for a host whose hand-overs the waiting thread need
    // not serve; the window instead serves them in a local event loop until the job has ended.
    void WaitForEnd() const;
    bool WaitForEnd(std::chrono::milliseconds timeout) const;

    // Runs `callback` on the worker thread when the job is gone, right before HasEnded() turns
    // true. Set it before Resume().
    void SetOnEnded(std::function<void()> callback) { m_onEnded = std::move(callback); }

  private:
    friend class SFileSearch;
    void MarkEnded();

    std::atomic<bool> m_stopRequested{false};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_ended;
    bool m_hasEnded = false;
    std::function<void()> m_onEnded;
};

// One search: walks the targets into a file table, finds the matching files with the pass of its
// compare mode, writes the groups into the result table and hands them to its host.
//
// Legal order: create with new (the job is suspended), SetMode() and the other setters, keep
// Signal(), then Resume(). From Resume() on the job belongs to its own worker thread and deletes
// itself when that thread ends; only the SearchSignal may be used after that.
class SFileSearch {
  public:
    SFileSearch(SearchHost& host, ResultTable& results, ProgressCounters& progress);
    SFileSearch(const SFileSearch&) = delete;
    SFileSearch& operator=(const SFileSearch&) = delete;

    void SetMode(int mode) { Mode = mode; }
    void SetCodePage(const platform::CodePage& codePage) { m_codePage = &codePage; }
    void SetAllocationGate(AllocationGate gate) { m_allocationGate = std::move(gate); }
    void SetContentComparison(ContentComparison comparison) { m_contentComparison = comparison; }
    // Whether members get their Date text (the default); a host that never shows dates spares
    // the search the time zone's rules.
    void SetResultDates(bool wanted) { m_resultDates = wanted; }
    // Whether, in the name modes, the search also learns which members of each group hold the
    // same bytes as its first member, after the name pass, and hands that over with
    // SearchHost::PostContentMatches (off by default).
    void SetContentMatches(bool wanted) { m_contentMatches = wanted; }
    // Which files the walk leaves out (none by default). A file left out is never read, and is
    // not named as skipped: the user chose to leave it out.
    void SetFilter(SearchFilter filter) { m_filter = std::move(filter); }

    std::shared_ptr<SearchSignal> Signal() const { return m_signal; }

    // Starts the worker thread. When the system cannot start one, the job is gone and its
    // signal has ended without a single hand-over, and this returns false: the caller tells the
    // user ("メモリ不足です", then "エラーのため中断しました"); the search never ran.
    bool Resume();

  private:
    static constexpr std::size_t kBlockSize = 8192;

    ~SFileSearch() = default;

    void Execute();
    void Run();
    void EndSequence();

    // Target walk.
    void CountTopLevel(const std::string& folder);
    void WalkFolder(const std::string& folder);
    void AddEntry(int folder, const platform::FolderEntry& file);

    // Matching passes.
    void PreFilter();
    void ContentPass();
    void PostRun(const SizeRun& run, const RunGroups& groups);
    void PairwiseContentPass();
    bool CompareFiles(const platform::FileReader& a, const platform::FileReader& b, int j, int k);
    void NamePass();
    // Compares the contents of the name groups' members with their first members'.
    void NameGroupContentPass();
    // Writes the groups among the slots `first` to `last` that are not posted yet into the result
    // table and hands each over.
    void PostGroups(int first, int last);
    // The same for the given slots (in table order), when the caller knows them.
    void PostSlots(const std::vector<int>& slots);
    bool StartResultGroup();
    // Adds the file to the group unless it vanished or another file took its place; false then.
    bool AddResultMember(ResultGroup& group, const FileEntry& entry);

    // Hand-overs.
    void HandOver(const std::function<void()>& procedure);
    // Tells the host about a file or folder that the search left out.
    void ReportSkipped(SkippedPath skipped);
    void RequestStatusUpdate();

    void SortSlots(int count, const std::function<int(const FileEntry&, const FileEntry&)>& order);
    bool Allowed(AllocationSite site) const;
    bool MustStop() const { return m_signal->StopRequested() || ErrorStop; }
    // The files of the group that `reference` starts: a file is never a member twice, and a
    // hard link of a member is that member.
    void BeginMembers(int reference);
    bool IsMember(int candidate) const;
    void AssignGroup(int reference, int candidate);
    void OutOfMemory();

    SearchHost& m_host;
    ResultTable& m_results;
    ProgressCounters& m_progress;
    const platform::CodePage* m_codePage = &platform::SystemCodePage();
    AllocationGate m_allocationGate;
    ContentComparison m_contentComparison = ContentComparison::Classes;
    bool m_resultDates = true;
    bool m_contentMatches = false;
    SearchFilter m_filter;
    // The name groups as posted, for the content pass after the name pass: per result group its
    // members' file table slots, sizes and identities, in member order.
    struct PostedMember {
        int Slot;
        std::int64_t Size;
        platform::FileIdentity Identity;
    };
    std::vector<std::pair<int, std::vector<PostedMember>>> m_nameGroups;
    std::shared_ptr<SearchSignal> m_signal = std::make_shared<SearchSignal>();
    platform::TrashFolders m_trashFolders;

    std::vector<std::string> Targets;
    int Mode = kCompareContent;
    std::int32_t Phase = 0;
    std::string StatusText;
    std::int32_t Depth = 0;
    // The newest status report that the host has not shown yet; shared with the procedure on its
    // way to the window thread, which may outlive the job.
    struct PendingStatus {
        std::mutex Mutex;
        StatusReport Report;
        bool Posted = false;
    };
    std::shared_ptr<PendingStatus> m_pendingStatus = std::make_shared<PendingStatus>();
    std::int32_t StatusCalls = 0;
    std::int32_t StatusDivisor = 1;
    FileTable m_table;
    std::int32_t GroupCounter = 0;
    std::int32_t LastResult = -1;
    std::unordered_set<platform::FileIdentity, platform::FileIdentityHash> m_memberFiles;
    // The folders walked so far, and in the content mode the files with several names found so
    // far: each is found once, whatever the number of its names.
    std::unordered_set<platform::FileIdentity, platform::FileIdentityHash> m_walkedFolders;
    std::unordered_set<platform::FileIdentity, platform::FileIdentityHash> m_linkedFiles;
    bool ErrorStop = false;
    // The pairwise comparison's blocks; only that pass allocates them.
    std::vector<unsigned char> BlockA;
    std::vector<unsigned char> BlockB;
};

}  // namespace search
