#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "search/content_classes.h"
#include "search/file_table.h"

namespace search {

// A run of files of equal size: slots [Begin, End) of the sorted file table.
struct SizeRun {
    int Begin = 0;
    int End = 0;
};

// Classifies the size runs of a sorted file table on the thread that takes the results in run
// order and on helper threads, a bounded number of runs ahead of the taker.
//
// Legal order: construct (the workers start), then Take(0), Take(1), ... on one thread; destroy
// to stop and join the workers. The table must not change its slots' paths, sizes or identities
// while this object lives.
//
// A helper thread that the system cannot start leaves the work to fewer threads, at worst to the
// taker alone. The files that the classifiers keep open are shared out among the threads within
// the process's limit of open files.
class ContentRunScheduler {
  public:
    // Starts a thread that runs `work`; throws std::system_error when the system cannot.
    using ThreadStarter = std::thread (*)(std::function<void()> work);
    static std::thread StartThread(std::function<void()> work);

    // `bytesCompared` counts the bytes that the classifiers read; `threads` counts the taker.
    ContentRunScheduler(const FileTable& table, std::vector<SizeRun> runs,
                        std::function<bool()> shouldStop, int threads,
                        std::atomic<std::int64_t>& bytesCompared,
                        ThreadStarter startThread = StartThread);
    ~ContentRunScheduler();
    ContentRunScheduler(const ContentRunScheduler&) = delete;
    ContentRunScheduler& operator=(const ContentRunScheduler&) = delete;

    const std::vector<SizeRun>& Runs() const { return m_runs; }

    // The helper threads that run.
    std::size_t Helpers() const { return m_workers.size(); }

    // Returns the groups of run `index` and the files that it left out, classifying runs itself
    // while it waits; nullopt when classifying it ran out of memory or was stopped.
    std::optional<RunOutcome> Take(std::size_t index);

  private:
    static constexpr std::size_t kRunsAhead = 64;
    static constexpr std::size_t kMemoryBudgetPerThread = 1024 * 1024;
    // Open files left to the rest of the program, and the most that one thread keeps open.
    static constexpr std::size_t kOpenFilesReserve = 64;
    static constexpr std::size_t kKeepOpenPerThread = 1024;

    void Work();
    void Classify(std::size_t index, ContentClassifier& classifier);
    bool MayClaim() const;  // with m_mutex held
    bool Stopping() const;

    const FileTable& m_table;
    std::atomic<std::int64_t>& m_bytesCompared;
    const std::vector<SizeRun> m_runs;
    const std::function<bool()> m_shouldStop;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_nextRun = 0;  // the next run that a worker claims
    std::size_t m_taken = 0;    // runs handed to the taker so far
    std::atomic<bool> m_closing{false};
    std::size_t m_keepOpen = 0;  // per classifier
    std::vector<std::optional<RunOutcome>> m_results;
    std::vector<bool> m_done;
    ContentClassifier m_takerClassifier;
    std::vector<std::thread> m_workers;
};

// The runs of equal size among the files before the first sentinel of a table sorted by size.
std::vector<SizeRun> FindSizeRuns(const FileTable& table);

}  // namespace search
