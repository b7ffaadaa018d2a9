#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace func {

// What the bulk delete did with one path.
enum class ReportStatus {
    Deleted = 1,  // moved to the trash
    DeleteFailed =
        2,           // not deleted: the delete failed, or the file was not the one the search found
    NotDeleted = 3,  // listed while the group's survivors were chosen (path upper-cased)
};

// "削除", "削除失敗" or "削除しません".
std::string_view ReportStatusText(ReportStatus status);

struct ReportRow {
    std::string Path;
    ReportStatus Status = ReportStatus::NotDeleted;

    friend bool operator==(const ReportRow&, const ReportRow&) = default;
};

// The report file's bytes: per row the path, " :", the status text and CR LF.
std::string FormatDeletionReport(const std::vector<ReportRow>& rows);

// Writes the report to `path`, replacing a file that is there; on failure an old file stays as
// it was. The window tells the user "ファイルが開けません" when this fails.
std::error_code SaveDeletionReport(const std::string& path, const std::vector<ReportRow>& rows);

}  // namespace func
