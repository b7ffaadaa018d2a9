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
        case ReportStatus::Restored:
            return "復元";
        case ReportStatus::RestoreFailed:
            return "復元失敗";
        case ReportStatus::Planned:
            return "削除予定";
    }
    return {};
}

std::vector<int> RestoreReportRows(std::vector<ReportRow>& rows, const std::vector<int>& chosen,
                                   const FileActions& actions) {
    std::vector<int> indexes = chosen;
    if (indexes.empty()) {
        for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
            indexes.push_back(i);
        }
    }
    std::vector<int> changed;
    for (const int index : indexes) {
        if (index < 0 || index >= static_cast<int>(rows.size())) {
            continue;
        }
        ReportRow& row = rows[static_cast<std::size_t>(index)];
        if (row.Status != ReportStatus::Deleted && row.Status != ReportStatus::RestoreFailed) {
            continue;
        }
        row.Status = actions.RestoreFromTrash(row.Trashed) ? ReportStatus::RestoreFailed
                                                           : ReportStatus::Restored;
        changed.push_back(index);
    }
    return changed;
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
