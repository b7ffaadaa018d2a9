#include "func/deletion_report.h"

#include "platform/file_system.h"

namespace func {

std::string_view ReportStatusText(ReportStatus status) {
    switch (status) {
        case ReportStatus::Deleted:
            return "削除";
        case ReportStatus::DeleteFailed:
            return "削除失敗";
        case ReportStatus::NotDeleted:
            return "削除しません";
    }
    return {};
}

std::string FormatDeletionReport(const std::vector<ReportRow>& rows) {
    std::string text;
    for (const ReportRow& row : rows) {
        text += row.Path;
        text += " :";
        text += ReportStatusText(row.Status);
        text += "\r\n";
    }
    return text;
}

std::error_code SaveDeletionReport(const std::string& path, const std::vector<ReportRow>& rows) {
    return platform::WriteFileAtomically(path, FormatDeletionReport(rows));
}

}  // namespace func
