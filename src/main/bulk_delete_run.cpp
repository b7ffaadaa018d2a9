// The bulk delete: every group on the results page keeps its protected files, or the file that
// the keep rule picks, and loses the other copies to the trash. The report window lists what
// happened to each path. Its preview lists what would happen, deleting nothing.

#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dialogs/Delform.h"
#include "dialogs/user_dialogs.h"
#include "func/bulk_delete.h"
#include "main/byte_count_text.h"
#include "main/group_list_model.h"
#include "main/main_form.h"
#include "main/member_list_model.h"
#include "main/progress_panel.h"
#include "main/results_page.h"
#include "platform/codepage.h"

namespace {

// The group list as the bulk delete walks it.
class SameListRows : public func::BulkDeleteRows {
  public:
    explicit SameListRows(GroupListModel& groups) : m_groups(groups) {}

    int RowCount() const override { return m_groups.Count(); }

    int GroupIndexOfRow(int row) const override { return m_groups.GroupAt(row); }

    void RemoveRow(int row) override { m_groups.RemoveRow(row); }

    void ShowMemberCount(int row, std::int32_t /*count*/) override {
        m_groups.Refresh(m_groups.GroupAt(row));
    }

  private:
    GroupListModel& m_groups;
};

}  // namespace

void TMainForm::AllDeleteClick() {
    GroupListModel& groups = m_resultsPage->Groups();
    if (groups.Count() == 0) {
        return;
    }
    // A running search still adds groups and reads the files that the walk would delete.
    if (IsSearching() || m_searchStarting) {
        UserDialogs::Show(this, QMessageBox::Warning,
                          QStringLiteral("検索中はまとめて削除出来ません"));
        return;
    }
    if (UserDialogs::Show(
            this, QMessageBox::Warning,
            QStringLiteral("内容の一致したファイルを一つだけ残して削除します。よろしいですか？"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    m_resultsPage->Members().Clear();
    if (DelListForm != nullptr) {
        // Shown from hidden it starts a new list; already open, it keeps its rows.
        DelListForm->show();
        DelListForm->raise();
        DelListForm->ShowSummary({});
    }

    // The members of the listed groups as they are before the walk: where each one was, for the
    // report window's restore, and for the files that stay because their delete failed.
    FlushPendingRows();
    std::vector<std::pair<int, std::vector<search::ResultMember>>> before;
    for (int row = 0; row < groups.Count(); ++row) {
        const int group = groups.GroupAt(row);
        before.emplace_back(group, m_results->Group(group).Members);
    }
    std::unordered_map<std::string, std::vector<platform::TrashedFile>> trashedPaths;

    func::BulkDeleteCalls calls;
    calls.AddReportRow = [&trashedPaths](const std::string& path, func::ReportStatus status,
                                         const platform::TrashedFile& trashed) {
        if (status == func::ReportStatus::Deleted) {
            trashedPaths[path].push_back(trashed);
        }
        if (DelListForm != nullptr) {
            DelListForm->AddReportRow(path, status, trashed);
        }
    };
    calls.DeletePath = [this](const std::string& path) { return DeletePath(path); };
    calls.ShowCurrentPath = [this](const std::string& path) {
        StatusPanel2->setText(QFile::decodeName(QByteArray::fromStdString(path)));
        // The walk holds the window thread: paint what changed without taking other events.
        StatusPanel0->repaint();
        StatusPanel2->repaint();
    };

    if (DelListForm != nullptr) {
        DelListForm->SetFileActions(ReportFileActions());
    }
    SameListRows rows(groups);
    func::RunBulkDelete(rows, *m_results, NoDelEntries(), platform::SystemCodePage(), calls,
                        m_progress, KeepRuleSetting);
    KeepTrackOfBulkDeleted(before, trashedPaths);

    StatusPanel2->clear();
    StatusPanel0->update();
    ShowResultCount();
    // The selected group shows what it keeps.
    SameListSelectItem();
}

void TMainForm::PreviewDeleteClick() {
    FlushPendingRows();
    GroupListModel& groups = m_resultsPage->Groups();
    if (groups.Count() == 0 || DelListForm == nullptr) {
        return;
    }
    // As for the bulk delete: shown from hidden it starts a new list; already open, it keeps its
    // rows, which may still have files to put back from the trash.
    DelListForm->show();
    DelListForm->raise();
    const SameListRows rows(groups);
    func::BulkDeleteCalls calls;
    calls.AddReportRow = [](const std::string& path, func::ReportStatus status,
                            const platform::TrashedFile&) {
        DelListForm->AddReportRow(path, status);
    };
    const func::BulkDeletePlan plan = func::PreviewBulkDelete(
        rows, *m_results, NoDelEntries(), platform::SystemCodePage(), KeepRuleSetting, calls);
    DelListForm->ShowSummary(QStringLiteral("削除予定 %1 ファイル、空く容量 %2 バイト")
                                 .arg(ByteCountText(plan.Files), ByteCountText(plan.Bytes)));
}

void TMainForm::KeepTrackOfBulkDeleted(
    const std::vector<std::pair<int, std::vector<search::ResultMember>>>& before,
    std::unordered_map<std::string, std::vector<platform::TrashedFile>>& trashedPaths) {
    for (const auto& [group, members] : before) {
        std::vector<search::ResultMember>& now = m_results->Group(group).Members;
        for (std::size_t slot = 0; slot < std::min(members.size(), now.size()); ++slot) {
            if (members[slot].IsFree() || !now[slot].IsFree()) {
                continue;
            }
            const auto trashed = trashedPaths.find(members[slot].FullPath());
            if (trashed != trashedPaths.end() && !trashed->second.empty()) {
                m_bulkDeleted[trashed->second.back().TrashedPath] = {
                    group, static_cast<int>(slot), members[slot], trashed->second.back()};
                trashed->second.pop_back();
            } else {
                // Its delete failed: the file is still there, and the group still counts it. It
                // stays in the member list, where the user may try again.
                now[slot] = members[slot];
            }
        }
    }
}
