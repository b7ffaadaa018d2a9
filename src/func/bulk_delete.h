#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "func/deletion_report.h"
#include "func/keep_rule.h"
#include "func/single_file_operations.h"
#include "platform/codepage.h"
#include "platform/file_compare.h"
#include "platform/file_stamp.h"
#include "platform/trash.h"
#include "search/progress.h"
#include "search/result_table.h"

namespace func {

// What the bulk delete needs from the program around it.
struct BulkDeleteCalls {
    // Appends one row to the report window; `trashed` says where a deleted file went.
    std::function<void(const std::string& path, ReportStatus status,
                       const platform::TrashedFile& trashed)>
        AddReportRow;
    // Moves one file to the trash.
    std::function<platform::TrashResult(const std::string& path)> DeletePath;
    // Shows the path that is about to be deleted (the status bar); may be empty.
    std::function<void(const std::string& path)> ShowCurrentPath;
    // Looks at a file again right before the delete relies on it.
    std::function<std::optional<platform::FileStamp>(const std::string& path)> ReadFileStamp =
        platform::ReadFileStamp;
    // True when both files can be read to their end and hold the same bytes.
    std::function<bool(const std::string& a, const std::string& b)> HaveSameBytes =
        platform::HaveSameBytes;
};

// First pass over one group: reports every present member, upper-cased, as "削除しません", and
// sets each member's DeleteMark: 0 for the members that ChooseKeptMembers keeps (those protected
// by `noDelList`, or when none is, the one that `keepRule` picks); 1 for the rest. Returns the
// number of present members.
int ChooseSurvivors(search::ResultGroup& group, const std::vector<std::string>& noDelList,
                    const platform::CodePage& codePage, const BulkDeleteCalls& calls,
                    KeepRule keepRule = KeepRule::FirstFound);

// Second pass over one group: deletes the present members with a DeleteMark, each reported as
// "削除" (and counted off MemberCount) or "削除失敗", and each leaving the member list. Nothing
// is deleted unless every member that stays is still the file the search found; a member that
// is no longer the file the search found, or whose bytes differ from every member that stays,
// is not deleted either. These cases report "削除失敗".
void DeleteMarkedMembers(search::ResultGroup& group, const BulkDeleteCalls& calls);

// Both passes over one group. Returns the group's MemberCount afterwards.
std::int32_t WalkGroup(search::ResultGroup& group, const std::vector<std::string>& noDelList,
                       const platform::CodePage& codePage, const BulkDeleteCalls& calls,
                       KeepRule keepRule = KeepRule::FirstFound);

// The group list as the bulk delete walks it: rows in list order, each naming one group.
class BulkDeleteRows {
  public:
    virtual ~BulkDeleteRows() = default;
    virtual int RowCount() const = 0;
    // The group index that the row carries.
    virtual int GroupIndexOfRow(int row) const = 0;
    virtual void RemoveRow(int row) = 0;
    virtual void ShowMemberCount(int row, std::int32_t count) = 0;
};

// Walks every row of `rows` once: each group keeps its protected files, or the file that
// `keepRule` picks, and loses the others. A group left with one member or none loses its row;
// the walk then goes on at the row before it, which is walked again (it keeps what it kept, so
// nothing more goes). Progress shows the row being walked.
void RunBulkDelete(BulkDeleteRows& rows, search::ResultTable& table,
                   const std::vector<std::string>& noDelList, const platform::CodePage& codePage,
                   const BulkDeleteCalls& calls, search::ProgressCounters& progress,
                   KeepRule keepRule = KeepRule::FirstFound);

// What a bulk delete would remove.
struct BulkDeletePlan {
    std::int64_t Files = 0;  // files that would go
    std::int64_t Bytes = 0;  // their sizes as the search found them
};

// The bulk delete's two passes without a delete: walks the rows in the same order, makes the same
// choice and the same checks (through `calls`: ReadFileStamp, HaveSameBytes), and reports every
// present member of each group once through AddReportRow, with its path as it is, as "削除予定"
// (Planned) when the bulk delete would delete it now, or "削除しません" (NotDeleted). Changes
// nothing; never calls DeletePath. A bulk delete run afterwards with the same list and rule
// deletes exactly the Planned files, in this order, unless files changed since.
BulkDeletePlan PreviewBulkDelete(const BulkDeleteRows& rows, const search::ResultTable& table,
                                 const std::vector<std::string>& noDelList,
                                 const platform::CodePage& codePage, KeepRule keepRule,
                                 const BulkDeleteCalls& calls);

}  // namespace func
