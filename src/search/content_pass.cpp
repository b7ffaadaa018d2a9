#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "platform/open_files.h"
#include "search/Search_func.h"
#include "search/content_runs.h"
#include "search/search.h"

namespace search {

namespace {

// When no file handle is free, opening a file is tried again after each step, for this many.
constexpr auto kHandleWaitStep = std::chrono::milliseconds(10);
constexpr int kHandleWaitSteps = 500;

// Opens the file at `path` for comparison. Out of file handles the file itself may be fine: it is
// opened again once others are closed, until `stop` says so.
template <typename Stop>
platform::FileReader OpenForComparison(const std::string& path, const Stop& stop) {
    for (int waits = 0;; ++waits) {
        platform::FileReader reader(path);
        if (reader.IsOpen() || !platform::IsOutOfFileHandles(reader.Error()) ||
            waits == kHandleWaitSteps || stop()) {
            return reader;
        }
        std::this_thread::sleep_for(kHandleWaitStep);
    }
}

}  // namespace

void SFileSearch::PreFilter() {
    Phase = kPhasePreFilter;
    m_progress.Position = 0;
    RequestStatusUpdate();

    SortSlots(m_table.WorkLength + 3, SizeOrder);
    // A file whose size neither neighbour shares can match nothing. Slot 0 is not examined.
    for (int i = 1; i < m_table.SlotsInMemory() - 1; ++i) {
        if (m_table[i].IsSentinel()) {
            break;
        }
        if (m_table[i - 1].Size != m_table[i].Size && m_table[i].Size != m_table[i + 1].Size) {
            m_table[i].Size = -1;
        }
    }
    SortSlots(m_table.WorkLength + 3, SizeOrder);
    m_table.WorkLength = m_table.FirstSentinel() + 2;
}

void SFileSearch::ContentPass() {
    SortSlots(m_table.WorkLength, SizeOrder);
    m_progress.Set(0, m_table.FirstSentinel());
    StatusDivisor = 10;
    Phase = kPhaseContent;
    if (m_contentComparison == ContentComparison::Pairwise) {
        PairwiseContentPass();
        return;
    }

    const int threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    const std::shared_ptr<SearchSignal> signal = m_signal;
    ContentRunScheduler scheduler(
        m_table, FindSizeRuns(m_table), [signal] { return signal->StopRequested(); }, threads,
        m_progress.BytesCompared);
    for (std::size_t index = 0; index < scheduler.Runs().size(); ++index) {
        std::optional<RunOutcome> outcome = scheduler.Take(index);
        if (MustStop()) {
            return;
        }
        if (!outcome) {
            OutOfMemory();
            return;
        }
        for (SkippedPath& skipped : outcome->Skipped) {
            ReportSkipped(std::move(skipped));
        }
        PostRun(scheduler.Runs()[index], outcome->Groups);
    }
}

void SFileSearch::PostRun(const SizeRun& run, const RunGroups& groups) {
    // Slot -> its group, for the first member of each group; later members are skipped like the
    // files that already matched an earlier one.
    std::unordered_map<int, const std::vector<int>*> firstOf;
    std::unordered_set<int> laterMembers;
    for (const std::vector<int>& group : groups) {
        firstOf.emplace(group.front(), &group);
        laterMembers.insert(group.begin() + 1, group.end());
    }
    for (int j = run.Begin; j < run.End; ++j) {
        if (MustStop()) {
            return;
        }
        if (laterMembers.contains(j)) {
            continue;
        }
        m_progress.Position = j;
        StatusText = m_table.PathOf(m_table[j]);
        RequestStatusUpdate();
        const auto group = firstOf.find(j);
        if (group != firstOf.end()) {
            ++GroupCounter;
            for (int slot : *group->second) {
                m_table[slot].Group = GroupCounter;
            }
            // Only this group's slots: scanning the rest of the run for every group would make a
            // run of many small groups quadratic.
            PostSlots(*group->second);
        }
    }
}

void SFileSearch::PairwiseContentPass() {
    BlockA.resize(kBlockSize);
    BlockB.resize(kBlockSize);
    for (int j = 0; j < m_table.WorkLength; ++j) {
        if (m_table[j].IsSentinel() || m_table[j].Group != 0) {
            continue;
        }
        const platform::FileReader reference =
            OpenForComparison(m_table.PathOf(m_table[j]), [this] { return MustStop(); });
        if (!reference.IsOpen()) {
            // Every file that is not grouped comes here once. Without a system error the path
            // no longer leads to a regular file.
            ReportSkipped({m_table.PathOf(m_table[j]),
                           reference.Error() ? SkipReason::FileUnreadable : SkipReason::FileChanged,
                           reference.Error()});
            continue;
        }
        if (MustStop()) {
            return;
        }
        m_progress.Position = j;
        StatusText = m_table.PathOf(m_table[j]);
        RequestStatusUpdate();

        BeginMembers(j);
        int k = j + 1;
        for (; k < m_table.SlotsInMemory(); ++k) {
            if (m_table[k].IsSentinel() || m_table[k].Size != m_table[j].Size) {
                break;
            }
            const std::int32_t signatureJ = m_table[j].Signature;
            const std::int32_t signatureK = m_table[k].Signature;
            if (signatureJ != 0 && signatureK != 0 && signatureJ != signatureK) {
                continue;
            }
            if (IsMember(k) || m_table[k].Group != 0) {
                continue;
            }
            // A file that cannot be opened is named when its own turn as the reference comes.
            const platform::FileReader candidate =
                OpenForComparison(m_table.PathOf(m_table[k]), [this] { return MustStop(); });
            if (!candidate.IsOpen()) {
                continue;
            }
            if (CompareFiles(reference, candidate, j, k)) {
                AssignGroup(j, k);
            }
            if (MustStop()) {
                break;
            }
        }
        if (m_table[j].Group != 0 && m_table[j].Posted == 0) {
            PostGroups(j, k - 1);
        }
    }
}

bool SFileSearch::CompareFiles(const platform::FileReader& a, const platform::FileReader& b, int j,
                               int k) {
    std::fill(BlockA.begin(), BlockA.end(), 0);
    std::fill(BlockB.begin(), BlockB.end(), 0);
    std::int64_t offset = 0;
    for (bool first = true;; first = false) {
        const std::int64_t readA = a.ReadAt(offset, BlockA.data(), kBlockSize);
        const std::int64_t readB = b.ReadAt(offset, BlockB.data(), kBlockSize);
        m_progress.BytesCompared.fetch_add(
            std::max<std::int64_t>(readA, 0) + std::max<std::int64_t>(readB, 0),
            std::memory_order_relaxed);
        if (first) {
            if (m_table[j].Signature == 0) {
                m_table[j].Signature = BlockSignature(BlockA.data());
            }
            if (m_table[k].Signature == 0) {
                m_table[k].Signature = BlockSignature(BlockB.data());
            }
        }
        // A read error, or a round that got more bytes from one file than from the other (one of
        // them changed since the walk), makes the pair different: stale buffer bytes must never
        // stand in for bytes that were not read.
        if (readA < 0 || readB < 0 || readA != readB ||
            std::memcmp(BlockA.data(), BlockB.data(), static_cast<std::size_t>(readA)) != 0) {
            return false;
        }
        if (readA < static_cast<std::int64_t>(kBlockSize)) {
            return true;  // Both files ended after the same bytes.
        }
        offset += readA;
    }
}

}  // namespace search
