#include "search/Search_func.h"
#include "search/first_contents.h"
#include "search/search.h"

namespace search {

void SFileSearch::NamePass() {
    const int mode = Mode;
    const platform::CodePage& codePage = *m_codePage;
    SortSlots(m_table.WorkLength, [mode, &codePage](const FileEntry& a, const FileEntry& b) {
        return NameOrder(a, b, mode, codePage);
    });
    m_progress.Set(0, m_table.FirstSentinel());
    StatusDivisor = 10;
    Phase = kPhaseName;

    const auto namePart = [&](int index) {
        const FileEntry& entry = m_table[index];
        return NamePartOf(mode == kCompareStem ? entry.NameKey() : entry.Name, codePage);
    };

    int j = 0;
    while (j < m_table.WorkLength) {
        if (MustStop()) {
            return;
        }
        if (m_table[j].IsSentinel() || m_table[j].Posted != 0) {
            ++j;
            continue;
        }
        const std::string_view reference = namePart(j);
        if (reference.empty()) {
            ++j;
            continue;
        }
        m_progress.Position = j;
        StatusText = m_table.PathOf(m_table[j]);
        RequestStatusUpdate();

        BeginMembers(j);
        int k = j + 1;
        for (; k < m_table.WorkLength; ++k) {
            if (MustStop() || m_table[k].IsSentinel()) {
                break;
            }
            const std::string_view candidate = namePart(k);
            if (candidate.empty()) {
                continue;
            }
            // The end of the run first: another name of a member's file must not carry the run
            // on into the names that follow, whose groups would be lost.
            if (codePage.CompareNames(reference, candidate) != 0) {
                break;
            }
            if (IsMember(k) || m_table[k].Group != 0) {
                continue;
            }
            AssignGroup(j, k);
            // Members of one group must be equal under SizeOrder when PostGroups sorts them.
            m_table[k].Size = m_table[j].Size;
        }
        if (m_table[j].Group != 0) {
            PostGroups(j, k);
            j = k;
        } else {
            ++j;
        }
    }
}

void SFileSearch::NameGroupContentPass() {
    Phase = kPhaseContent;
    StatusDivisor = 1;
    m_progress.Set(0, static_cast<std::int32_t>(m_nameGroups.size()));
    const std::shared_ptr<SearchSignal> signal = m_signal;
    const auto stop = [signal] { return signal->StopRequested(); };
    for (std::size_t i = 0; i < m_nameGroups.size() && !MustStop(); ++i) {
        const auto& [groupIndex, members] = m_nameGroups[i];
        std::vector<FoundFile> files;
        for (const PostedMember& member : members) {
            files.push_back({m_table.PathOf(m_table[member.Slot]), member.Size, member.Identity});
        }
        m_progress.Position = static_cast<std::int32_t>(i);
        StatusText = files.empty() ? std::string() : files.front().Path;
        RequestStatusUpdate();
        std::vector<ContentMatch> matches =
            MatchFirstContents(files, stop, m_progress.BytesCompared);
        m_host.PostToWindowThread(
            [host = &m_host, index = groupIndex, matches = std::move(matches)] {
                host->PostContentMatches(index, matches);
            });
    }
    m_nameGroups.clear();
    m_nameGroups.shrink_to_fit();
}

}  // namespace search
