#include <algorithm>
#include <vector>

#include "platform/file_stamp.h"
#include "search/Search_func.h"
#include "search/search.h"

namespace search {

void SFileSearch::PostGroups(int first, int last) {
    std::vector<int> slots;
    for (int i = first; i <= last && i < m_table.SlotsInMemory(); ++i) {
        slots.push_back(i);
    }
    PostSlots(slots);
}

void SFileSearch::PostSlots(const std::vector<int>& slots) {
    std::vector<int> scratch;
    for (int i : slots) {
        FileEntry& entry = m_table[i];
        if (!entry.IsSentinel() && entry.Group != 0 && entry.Posted == 0) {
            scratch.push_back(i);
            entry.Posted = 2;
        }
    }
    std::stable_sort(scratch.begin(), scratch.end(),
                     [this](int a, int b) { return SizeOrder(m_table[a], m_table[b]) < 0; });
    StatusDivisor = 1;

    const std::int32_t start = LastResult;
    // The name groups' members, for the content pass that follows the name pass.
    const bool recordNameGroups = m_contentMatches && Mode != kCompareContent;
    std::int32_t previousGroup = -1;
    ResultGroup* group = nullptr;
    for (int index : scratch) {
        if (MustStop()) {
            break;
        }
        const FileEntry& entry = m_table[index];
        if (entry.Group != previousGroup) {
            if (!StartResultGroup()) {
                break;
            }
            group = &m_results.Group(LastResult);
            if (recordNameGroups) {
                m_nameGroups.push_back({LastResult, {}});
            }
        }
        previousGroup = entry.Group;
        if (AddResultMember(*group, entry) && recordNameGroups) {
            const platform::FileStamp& stamp = group->Members.back().Stamp;
            m_nameGroups.back().second.push_back({index, stamp.Size, stamp.Identity});
        }
    }

    for (std::int32_t index = start + 1; index <= LastResult; ++index) {
        // The group is complete and the worker never touches it again: the window may take it
        // whenever it comes to it.
        m_host.PostToWindowThread([host = &m_host, index] { host->PostGroupRow(index); });
    }
}

bool SFileSearch::StartResultGroup() {
    ++LastResult;
    ResultGroup& group = m_results.Group(LastResult);
    group.Members.clear();
    group.MemberCount = 0;
    if (LastResult >= m_results.Capacity() - 5 &&
        (!Allowed(AllocationSite::ResultTableGrowth) || !m_results.Grow())) {
        OutOfMemory();
        return false;
    }
    return true;
}

bool SFileSearch::AddResultMember(ResultGroup& group, const FileEntry& entry) {
    // A file that vanished, or that another file has replaced since the walk, is left out.
    const std::optional<platform::FileStamp> stamp = platform::ReadFileStamp(m_table.PathOf(entry));
    if (!stamp || stamp->Identity != entry.Identity) {
        return false;
    }
    ResultMember member;
    member.Folder = m_table.FolderOf(entry);
    member.Name = entry.Name.substr(1);
    if (m_resultDates) {
        member.Date = FormatResultDate(platform::LocalTimeOf(stamp->Modified));
    }
    member.Stamp = *stamp;
    group.Members.push_back(std::move(member));
    group.MemberCount = static_cast<std::int32_t>(group.Members.size());
    return true;
}

}  // namespace search
