#include "func/bulk_delete.h"

#include <algorithm>

namespace func {

int ChooseSurvivors(search::ResultGroup& group, const std::vector<std::string>& noDelList,
                    const platform::CodePage& codePage, const BulkDeleteCalls& calls,
                    KeepRule keepRule) {
    const std::vector<bool> kept = ChooseKeptMembers(group.Members, keepRule, noDelList, codePage);
    int present = 0;
    for (std::size_t slot = 0; slot < group.Members.size(); ++slot) {
        search::ResultMember& member = group.Members[slot];
        member.DeleteMark = 0;
        if (member.IsFree()) {
            continue;
        }
        ++present;
        calls.AddReportRow(codePage.UpperAscii(member.FullPath()), ReportStatus::NotDeleted, {});
        member.DeleteMark = kept[slot] ? 0 : 1;
    }
    return present;
}

namespace {

bool IsMarked(const search::ResultMember& member) {
    return !member.IsFree() && member.DeleteMark != 0;
}

// The present members that the group keeps: those with no DeleteMark.
std::vector<const search::ResultMember*> Survivors(const search::ResultGroup& group) {
    std::vector<const search::ResultMember*> survivors;
    for (const search::ResultMember& member : group.Members) {
        if (!member.IsFree() && member.DeleteMark == 0) {
            survivors.push_back(&member);
        }
    }
    return survivors;
}

// The present members that `kept` keeps, as ChooseKeptMembers gives it.
std::vector<const search::ResultMember*> Survivors(const std::vector<search::ResultMember>& members,
                                                   const std::vector<bool>& kept) {
    std::vector<const search::ResultMember*> survivors;
    for (std::size_t slot = 0; slot < members.size(); ++slot) {
        if (!members[slot].IsFree() && kept[slot]) {
            survivors.push_back(&members[slot]);
        }
    }
    return survivors;
}

// The delete rests on the files that stay: unless every one of them is still there, unchanged,
// the group is no longer known to hold a copy of what would be deleted.
bool SurvivorsAreAsFound(const std::vector<const search::ResultMember*>& survivors,
                         const BulkDeleteCalls& calls) {
    return !survivors.empty() &&
           std::all_of(survivors.begin(), survivors.end(), [&](const search::ResultMember* kept) {
               return IsFileAsFound(*kept, calls.ReadFileStamp(kept->FullPath()));
           });
}

// A member may go only while a file that stays holds its very bytes: a name match says nothing
// of the contents, and a kept file may have been rewritten without a trace in its stamp.
bool HasCopyThatStays(const std::string& path,
                      const std::vector<const search::ResultMember*>& survivors,
                      const BulkDeleteCalls& calls) {
    return std::any_of(survivors.begin(), survivors.end(), [&](const search::ResultMember* kept) {
        return calls.HaveSameBytes(path, kept->FullPath());
    });
}

// Checked right before the delete: a file changed or replaced since the search is not the copy
// the user was shown, and must not go.
bool MayGo(const search::ResultMember& member, bool survivorsSafe,
           const std::vector<const search::ResultMember*>& survivors,
           const BulkDeleteCalls& calls) {
    const std::string path = member.FullPath();
    return survivorsSafe && IsFileAsFound(member, calls.ReadFileStamp(path)) &&
           HasCopyThatStays(path, survivors, calls);
}

}  // namespace

void DeleteMarkedMembers(search::ResultGroup& group, const BulkDeleteCalls& calls) {
    if (std::none_of(group.Members.begin(), group.Members.end(), IsMarked)) {
        return;
    }
    const std::vector<const search::ResultMember*> survivors = Survivors(group);
    const bool survivorsSafe = SurvivorsAreAsFound(survivors, calls);
    for (search::ResultMember& member : group.Members) {
        if (!IsMarked(member)) {
            continue;
        }
        const std::string path = member.FullPath();
        if (calls.ShowCurrentPath) {
            calls.ShowCurrentPath(path);
        }
        const bool mayGo = MayGo(member, survivorsSafe, survivors, calls);
        const platform::TrashResult trashed =
            mayGo ? calls.DeletePath(path) : platform::TrashResult{};
        const bool deleted = mayGo && !trashed.Error;
        if (deleted) {
            --group.MemberCount;
        }
        calls.AddReportRow(path, deleted ? ReportStatus::Deleted : ReportStatus::DeleteFailed,
                           trashed.Trashed);
        member.Name.clear();
    }
}

std::int32_t WalkGroup(search::ResultGroup& group, const std::vector<std::string>& noDelList,
                       const platform::CodePage& codePage, const BulkDeleteCalls& calls,
                       KeepRule keepRule) {
    ChooseSurvivors(group, noDelList, codePage, calls, keepRule);
    DeleteMarkedMembers(group, calls);
    return group.MemberCount;
}

void RunBulkDelete(BulkDeleteRows& rows, search::ResultTable& table,
                   const std::vector<std::string>& noDelList, const platform::CodePage& codePage,
                   const BulkDeleteCalls& calls, search::ProgressCounters& progress,
                   KeepRule keepRule) {
    for (int row = 0; row < rows.RowCount(); ++row) {
        progress.Set(row, rows.RowCount());
        const int groupIndex = rows.GroupIndexOfRow(row);
        if (groupIndex < 0 || groupIndex >= table.Capacity()) {
            continue;  // a row that names no group is left alone
        }
        const std::int32_t count =
            WalkGroup(table.Group(groupIndex), noDelList, codePage, calls, keepRule);
        if (count <= 1) {
            rows.RemoveRow(row);
            // Go on at the row before the removed one (it is walked again), or at row 0.
            row = std::max(row - 2, -1);
        } else {
            rows.ShowMemberCount(row, count);
        }
    }
    progress.Position.store(0, std::memory_order_relaxed);
}

BulkDeletePlan PreviewBulkDelete(const BulkDeleteRows& rows, const search::ResultTable& table,
                                 const std::vector<std::string>& noDelList,
                                 const platform::CodePage& codePage, KeepRule keepRule,
                                 const BulkDeleteCalls& calls) {
    BulkDeletePlan plan;
    for (int row = 0; row < rows.RowCount(); ++row) {
        const int groupIndex = rows.GroupIndexOfRow(row);
        if (groupIndex < 0 || groupIndex >= table.Capacity()) {
            continue;
        }
        const std::vector<search::ResultMember>& members = table.Group(groupIndex).Members;
        const std::vector<bool> kept = ChooseKeptMembers(members, keepRule, noDelList, codePage);
        const std::vector<const search::ResultMember*> survivors = Survivors(members, kept);
        const bool survivorsSafe = SurvivorsAreAsFound(survivors, calls);
        for (std::size_t slot = 0; slot < members.size(); ++slot) {
            const search::ResultMember& member = members[slot];
            if (member.IsFree()) {
                continue;
            }
            const bool goes = !kept[slot] && MayGo(member, survivorsSafe, survivors, calls);
            if (goes) {
                ++plan.Files;
                plan.Bytes += member.Stamp.Size;
            }
            calls.AddReportRow(member.FullPath(),
                               goes ? ReportStatus::Planned : ReportStatus::NotDeleted, {});
        }
    }
    return plan;
}

}  // namespace func
