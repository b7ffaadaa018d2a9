#include "search/content_runs.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "platform/open_files.h"

namespace search {

std::vector<SizeRun> FindSizeRuns(const FileTable& table) {
    std::vector<SizeRun> runs;
    const int end = table.FirstSentinel();
    for (int begin = 0; begin < end;) {
        int next = begin + 1;
        while (next < end && table[next].Size == table[begin].Size) {
            ++next;
        }
        runs.push_back({begin, next});
        begin = next;
    }
    return runs;
}

std::thread ContentRunScheduler::StartThread(std::function<void()> work) {
    return std::thread(std::move(work));
}

ContentRunScheduler::ContentRunScheduler(const FileTable& table, std::vector<SizeRun> runs,
                                         std::function<bool()> shouldStop, int threads,
                                         std::atomic<std::int64_t>& bytesCompared,
                                         ThreadStarter startThread)
    : m_table(table),
      m_bytesCompared(bytesCompared),
      m_runs(std::move(runs)),
      m_shouldStop(std::move(shouldStop)),
      m_results(m_runs.size()),
      m_done(m_runs.size(), false),
      m_takerClassifier([this](int slot) { return m_table.PathOf(m_table[slot]); },
                        [this] { return Stopping(); }, kMemoryBudgetPerThread) {
    // The taking thread classifies too, so it needs threads - 1 helpers, and no more helpers
    // than there are further runs to read.
    std::size_t runsToRead = 0;
    for (const SizeRun& run : m_runs) {
        runsToRead += run.End - run.Begin >= 2 ? 1 : 0;
    }
    const std::size_t helpers = std::min<std::size_t>(
        static_cast<std::size_t>(std::max(threads - 1, 0)), runsToRead > 0 ? runsToRead - 1 : 0);
    const std::size_t limit = platform::OpenFileLimit();
    m_keepOpen =
        std::min(kKeepOpenPerThread,
                 (limit > kOpenFilesReserve ? limit - kOpenFilesReserve : 0) / (helpers + 1));
    m_takerClassifier.CountBytesIn(m_bytesCompared);
    m_takerClassifier.KeepFilesOpen(m_keepOpen);
    m_workers.reserve(helpers);
    for (std::size_t i = 0; i < helpers; ++i) {
        // A helper that cannot start leaves its share to the threads that run.
        try {
            m_workers.push_back(startThread([this] { Work(); }));
        } catch (const std::system_error&) {
            break;
        } catch (const std::bad_alloc&) {
            break;
        }
    }
}

ContentRunScheduler::~ContentRunScheduler() {
    {
        std::lock_guard lock(m_mutex);
        m_closing.store(true);
    }
    m_changed.notify_all();
    for (std::thread& worker : m_workers) {
        worker.join();
    }
}

bool ContentRunScheduler::Stopping() const {
    return m_closing.load() || m_shouldStop();
}

bool ContentRunScheduler::MayClaim() const {
    return m_nextRun < m_runs.size() && m_nextRun < m_taken + kRunsAhead;
}

std::optional<RunOutcome> ContentRunScheduler::Take(std::size_t index) {
    std::unique_lock lock(m_mutex);
    while (!m_done[index]) {
        // Rather than wait, classify the next run that nobody has claimed yet: the run asked
        // for, or one after it while a helper still reads that one.
        if (MayClaim()) {
            const std::size_t claimed = m_nextRun++;
            lock.unlock();
            Classify(claimed, m_takerClassifier);
            lock.lock();
            continue;
        }
        m_changed.wait(lock);
    }
    m_taken = index + 1;
    m_changed.notify_all();
    return std::move(m_results[index]);
}

void ContentRunScheduler::Work() {
    ContentClassifier classifier([this](int slot) { return m_table.PathOf(m_table[slot]); },
                                 [this] { return Stopping(); }, kMemoryBudgetPerThread);
    classifier.CountBytesIn(m_bytesCompared);
    classifier.KeepFilesOpen(m_keepOpen);
    for (;;) {
        std::size_t index = 0;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(
                lock, [&] { return m_closing.load() || m_nextRun >= m_runs.size() || MayClaim(); });
            if (m_closing.load() || m_nextRun >= m_runs.size()) {
                return;
            }
            index = m_nextRun++;
        }
        Classify(index, classifier);
    }
}

void ContentRunScheduler::Classify(std::size_t index, ContentClassifier& classifier) {
    std::optional<RunOutcome> result;
    try {
        const SizeRun& run = m_runs[index];
        std::vector<RunFile> files;
        files.reserve(static_cast<std::size_t>(run.End - run.Begin));
        for (int slot = run.Begin; slot < run.End; ++slot) {
            files.push_back({slot, m_table[slot].Identity});
        }
        result = classifier.Classify(m_table[run.Begin].Size, files);
    } catch (const std::bad_alloc&) {
        result.reset();
    }
    if (Stopping()) {
        result.reset();
    }
    {
        std::lock_guard lock(m_mutex);
        m_results[index] = std::move(result);
        m_done[index] = true;
    }
    m_changed.notify_all();
}

}  // namespace search
