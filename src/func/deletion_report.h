#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "func/file_actions.h"
#include "platform/trash.h"

namespace func {

// What the bulk delete did with one path.
enum class ReportStatus {
    Deleted = 1,  // moved to the trash
    DeleteFailed =
        2,           // not deleted: the delete failed, or the file was not the one the search found
    NotDeleted = 3,  // listed while the group's survivors were chosen (path upper-cased)
    Restored = 4,    // deleted, and put back from the trash since
    RestoreFailed = 5,  // deleted; putting it back failed, and it stays in the trash
    Planned = 6,        // a preview found that the bulk delete would delete it
};

// "削除", "削除失敗", "削除しません", "復元", "復元失敗" or "削除予定".
std::string_view ReportStatusText(ReportStatus status);

struct ReportRow {
    std::string Path;
    ReportStatus Status = ReportStatus::NotDeleted;
    platform::TrashedFile Trashed = {};  // where a deleted file went

    friend bool operator==(const ReportRow&, const ReportRow&) = default;
};

// Puts back from the trash the files of the rows `chosen` (indexes into `rows`), or of every row
// when `chosen` is empty; only rows of status Deleted (or RestoreFailed, to try again) take part.
// Each becomes Restored or RestoreFailed. Returns the indexes of the rows that changed.
std::vector<int> RestoreReportRows(std::vector<ReportRow>& rows, const std::vector<int>& chosen,
                                   const FileActions& actions);

// The report file's bytes: per row the path, " :", the status text and CR LF.
std::string FormatDeletionReport(const std::vector<ReportRow>& rows);

// Writes the report to `path`, replacing a file that is there; on failure an old file stays as
// it was. The window tells the user "ファイルが開けません" when this fails.
std::error_code SaveDeletionReport(const std::string& path, const std::vector<ReportRow>& rows);

}  // namespace func
