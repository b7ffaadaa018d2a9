#include "search/search.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>

#include "search/Search_func.h"

namespace search {

bool SearchSignal::HasEnded() const {
    std::lock_guard lock(m_mutex);
    return m_hasEnded;
}

void SearchSignal::WaitForEnd() const {
    std::unique_lock lock(m_mutex);
    m_ended.wait(lock, [this] { return m_hasEnded; });
}

bool SearchSignal::WaitForEnd(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_ended.wait_for(lock, timeout, [this] { return m_hasEnded; });
}

void SearchSignal::MarkEnded() {
    if (m_onEnded) {
        m_onEnded();
    }
    {
        std::lock_guard lock(m_mutex);
        m_hasEnded = true;
    }
    m_ended.notify_all();
}

SFileSearch::SFileSearch(SearchHost& host, ResultTable& results, ProgressCounters& progress)
    : m_host(host), m_results(results), m_progress(progress) {}

bool SFileSearch::Resume() {
    const auto end = [](SFileSearch* job) {
        // The signal outlives the job: whoever waits learns of the end only after the job is gone.
        const std::shared_ptr<SearchSignal> signal = job->m_signal;
        delete job;
        signal->MarkEnded();
    };
    try {
        if (!Allowed(AllocationSite::WorkerThread)) {
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        }
        std::thread([this, end] {
            Execute();
            end(this);
        }).detach();
        return true;
    } catch (const std::system_error&) {
        end(this);
        return false;
    }
}

void SFileSearch::Execute() {
    if (!Allowed(AllocationSite::FileTableCreate) || !m_table.Create()) {
        m_host.ShowMessage(kMessageOutOfMemory);
        return;
    }
    try {
        Run();
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    }
    EndSequence();
}

void SFileSearch::Run() {
    StatusCalls = 0;
    StatusDivisor = 100;
    HandOver([this] { Targets = PrepareTargets(m_host.SearchStarted()); });

    m_progress.FilesSeen.store(0, std::memory_order_relaxed);
    m_progress.BytesCompared.store(0, std::memory_order_relaxed);
    Phase = kPhaseWalk;
    for (const std::string& target : Targets) {
        Depth = 0;
        m_progress.Position = 0;
        if (target.empty()) {
            continue;
        }
        CountTopLevel(target);
        WalkFolder(target);
        if (MustStop()) {
            break;
        }
    }

    GroupCounter = 1;
    LastResult = -1;
    switch (Mode) {
        case kCompareContent:
            if (ErrorStop) {
                break;
            }
            PreFilter();  // also after a stop request
            if (m_table[0].IsSentinel()) {
                m_signal->RequestStop();  // Nothing was found: the search ends as a stopped one.
            }
            m_progress.Total = m_table.FirstSentinel();
            if (!m_signal->StopRequested()) {
                ContentPass();
            }
            break;
        case kCompareStem:
        case kCompareName:
            if (!MustStop()) {
                NamePass();
            }
            if (m_contentMatches && !MustStop()) {
                NameGroupContentPass();
            }
            break;
        default:
            break;
    }
}

void SFileSearch::EndSequence() {
    m_progress.Set(0, 0);
    StatusDivisor = 1;
    Phase = kPhaseEnded;
    StatusText.clear();
    RequestStatusUpdate();

    m_table.Release();
    HandOver([this] { m_host.SearchFinished(); });

    if (m_signal->StopRequested()) {
        m_host.ShowMessage(kMessageStopped);
    } else if (ErrorStop) {
        m_host.ShowMessage(kMessageError);
    } else {
        m_host.ShowMessage(kMessageFinished);
    }
}

void SFileSearch::HandOver(const std::function<void()>& procedure) {
    m_host.RunOnWindowThread(procedure);
}

void SFileSearch::ReportSkipped(SkippedPath skipped) {
    m_host.PostToWindowThread(
        [host = &m_host, skipped = std::move(skipped)] { host->PathSkipped(skipped); });
}

void SFileSearch::RequestStatusUpdate() {
    // Counting here instead of on the window thread spares the worker a blocking hand-over for
    // every request that would show nothing.
    ++StatusCalls;
    if (StatusCalls % StatusDivisor != 0) {
        return;
    }
    {
        const std::lock_guard lock(m_pendingStatus->Mutex);
        m_pendingStatus->Report = {Phase, std::string(PhaseText(Phase)), StatusText};
        if (m_pendingStatus->Posted) {
            return;  // the report still on its way shows this one instead
        }
        m_pendingStatus->Posted = true;
    }
    m_host.PostToWindowThread([pending = m_pendingStatus, host = &m_host] {
        StatusReport report;
        {
            const std::lock_guard lock(pending->Mutex);
            report = std::move(pending->Report);
            pending->Posted = false;
        }
        host->StatusUpdate(report);
    });
}

void SFileSearch::SortSlots(int count,
                            const std::function<int(const FileEntry&, const FileEntry&)>& order) {
    count = std::min(count, m_table.SlotsInMemory());
    // Ties go by walk order: the sort is stable without the buffer that a stable sort needs.
    std::sort(m_table.Begin(), m_table.Begin() + count,
              [&order](const FileEntry& a, const FileEntry& b) {
                  const int result = order(a, b);
                  return result != 0 ? result < 0 : a.Order < b.Order;
              });
}

bool SFileSearch::Allowed(AllocationSite site) const {
    return !m_allocationGate || m_allocationGate(site);
}

void SFileSearch::BeginMembers(int reference) {
    m_memberFiles.clear();
    m_memberFiles.insert(m_table[reference].Identity);
}

bool SFileSearch::IsMember(int candidate) const {
    // Hard links, and a file reached twice, are one file: it never forms a group with itself.
    return m_memberFiles.contains(m_table[candidate].Identity);
}

void SFileSearch::AssignGroup(int reference, int candidate) {
    m_memberFiles.insert(m_table[candidate].Identity);
    if (m_table[reference].Group == 0) {
        ++GroupCounter;
        m_table[reference].Group = GroupCounter;
    }
    m_table[candidate].Group = m_table[reference].Group;
}

void SFileSearch::OutOfMemory() {
    m_host.ShowMessage(kMessageOutOfMemory);
    ErrorStop = true;
}

}  // namespace search
