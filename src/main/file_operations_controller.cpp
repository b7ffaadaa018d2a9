#include "main/file_operations_controller.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "dialogs/Delform.h"
#include "dialogs/Dirselect.h"
#include "dialogs/Fileinfo.h"
#include "dialogs/Rename_dialog.h"
#include "dialogs/path_text.h"
#include "dialogs/user_dialogs.h"
#include "func/bulk_delete.h"
#include "func/name_edit.h"
#include "func/no_del_list.h"
#include "main/byte_count_text.h"
#include "main/group_list_model.h"
#include "main/member_list_model.h"
#include "main/results_page.h"
#include "platform/codepage.h"
#include "platform/file_operations.h"
#include "platform/trash.h"

namespace {

const QString kRenameFailed = QStringLiteral("名前変更出来ません");

// A file URL for the path. On Windows paths are always valid UTF-8 here; elsewhere the URL keeps
// every byte of the path, valid UTF-8 or not.
QUrl UrlOfPath(const std::string& path) {
#ifdef Q_OS_WIN
    return QUrl::fromLocalFile(PathText(path));
#else
    return QUrl::fromEncoded(
        QByteArrayLiteral("file://") + QByteArray::fromStdString(path).toPercentEncoding("/"),
        QUrl::StrictMode);
#endif
}

// Why a file could not be put back from the trash, for the message that says so.
QString RestoreFailureText(const platform::TrashedFile& trashed, const std::error_code& error) {
    return QStringLiteral("%1 を元に戻せません。%2")
        .arg(PathText(trashed.OriginalPath), RestoreFailureReason(error));
}

// The group list as the bulk delete walks it.
class GroupRows : public func::BulkDeleteRows {
  public:
    explicit GroupRows(GroupListModel& groups) : m_groups(groups) {}

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

// The results page's lists as the single-file operations change them.
class FileOperationsController::PageRows : public func::ResultRows {
  public:
    PageRows(ResultsPage& page, const std::function<void()>& flushPendingRows)
        : m_page(page), m_flushPendingRows(flushPendingRows) {}

    void RemoveMemberRow(int group, int slot) override {
        if (m_page.Members().Group() == group) {
            m_page.Members().RemoveSlot(slot);
        }
    }

    void ShowMemberCount(int group, std::int32_t /*count*/) override {
        m_page.Groups().Refresh(group);
    }

    void RemoveGroupRow(int group) override {
        MemberListModel& members = m_page.Members();
        const bool showsGroup = members.Count() == 0 || members.Group() == group;
        // The group row is found by its index: it need not be the selected one.
        if (m_page.Groups().Lists(group)) {
            // Deselect first, so that no other group's members take the list's place.
            if (m_page.SelectedGroup() == group) {
                m_page.GroupView()->clearSelection();
            }
            m_page.Groups().RemoveGroup(group);
        }
        if (showsGroup) {
            members.Clear();
            m_page.SizeLabel()->clear();
            // The list selects the row that takes the removed row's place: it shows its members.
            m_page.ShowSelectedGroup();
        }
    }

    void ShowRestoredMember(int group, int /*slot*/, std::int32_t count) override {
        GroupListModel& groups = m_page.Groups();
        if (groups.Lists(group)) {
            groups.Refresh(group);
        } else if (count >= 2) {
            // The group had dropped to one member and left the list: it comes back at the end.
            groups.Append({group});
        } else {
            return;
        }
        if (m_page.SelectedGroup() == group) {
            m_page.ShowMembersOf(group);
        }
    }

    std::vector<int> ListedGroups() const override {
        m_flushPendingRows();
        const GroupListModel& groups = m_page.Groups();
        std::vector<int> listed;
        listed.reserve(static_cast<std::size_t>(groups.Count()));
        for (int row = 0; row < groups.Count(); ++row) {
            listed.push_back(groups.GroupAt(row));
        }
        return listed;
    }

  private:
    ResultsPage& m_page;
    const std::function<void()>& m_flushPendingRows;
};

FileOperationsController::FileOperationsController(search::ResultTable& table, ResultsPage& page,
                                                   search::ProgressCounters& progress,
                                                   FileOperationsWindow window, QObject* parent)
    : QObject(parent),
      m_table(table),
      m_page(page),
      m_progress(progress),
      m_window(std::move(window)),
      m_export(m_window.Window) {}

QString FileOperationsController::ShownName(const std::string& name) {
    return QString::fromStdU16String(func::ShownName(name));
}

void FileOperationsController::OpenWithAssociatedProgram(const std::string& path) {
    QDesktopServices::openUrl(UrlOfPath(path));
}

std::optional<std::pair<int, int>> FileOperationsController::SelectedMember() const {
    const std::optional<int> slot = m_page.SelectedSlot();
    if (!slot) {
        return std::nullopt;
    }
    return std::pair{m_page.Members().Group(), *slot};
}

bool FileOperationsController::ShowsMember(int group, int slot) const {
    return m_page.Members().Group() == group && m_page.Members().RowOf(slot) >= 0;
}

std::string FileOperationsController::FullPathOf(int group, int slot) const {
    const search::ResultMember* member = func::MemberAt(m_table, group, slot);
    if (member == nullptr) {
        return std::string();
    }
    std::string path = member->FullPath();
    if (path.size() > 1 && path.back() == platform::kSeparator) {
        path.pop_back();
    }
    return path;
}

void FileOperationsController::MembersChanged() {
    m_page.Shown().RefreshContents();
}

void FileOperationsController::Open() {
    const auto selected = SelectedMember();
    const std::string path = selected ? FullPathOf(selected->first, selected->second) : "";
    if (!path.empty()) {
        OpenWithAssociatedProgram(path);
    }
}

platform::TrashResult FileOperationsController::DeletePath(const std::string& path) {
    return m_fileActions.MoveToTrash(path);
}

void FileOperationsController::SetFileActions(func::FileActions actions) {
    m_fileActions = std::move(actions);
    if (DelListForm != nullptr) {
        DelListForm->SetFileActions(ReportFileActions());
    }
}

func::FileActions FileOperationsController::ReportFileActions() {
    func::FileActions actions = m_fileActions;
    actions.RestoreFromTrash = [this](const platform::TrashedFile& trashed) {
        return RestoreBulkDeleted(trashed);
    };
    return actions;
}

std::error_code FileOperationsController::RestoreBulkDeleted(const platform::TrashedFile& trashed) {
    const auto found = m_bulkDeleted.find(trashed.TrashedPath);
    if (found == m_bulkDeleted.end() || !(found->second.Trashed == trashed)) {
        return m_fileActions.RestoreFromTrash(trashed);
    }
    m_window.FlushPendingRows();
    PageRows rows(m_page, m_window.FlushPendingRows);
    const std::error_code error = func::RestoreMember(m_table, found->second, m_fileActions, rows);
    if (!error) {
        m_bulkDeleted.erase(found);
        MembersChanged();
    }
    return error;
}

std::error_code FileOperationsController::DeleteMemberFile(int group, int slot) {
    PageRows rows(m_page, m_window.FlushPendingRows);
    func::DeletedMember deleted;
    const std::error_code error =
        func::DeleteMember(m_table, group, slot, m_fileActions, rows, &deleted);
    if (!error) {
        m_deletedMembers.push_back(std::move(deleted));
        emit UndoAvailable(true);
        MembersChanged();
    }
    return error;
}

void FileOperationsController::Undo() {
    if (m_deletedMembers.empty()) {
        return;
    }
    m_window.FlushPendingRows();
    const func::DeletedMember deleted = m_deletedMembers.back();
    PageRows rows(m_page, m_window.FlushPendingRows);
    const std::error_code error = func::RestoreMember(m_table, deleted, m_fileActions, rows);
    // A file that stays in the trash may be tried again (once its name is free, say); one that
    // the trash no longer holds cannot come back, and the next undo goes on with the delete
    // before it.
    if (!error || error == platform::TrashErrc::NotInTrash) {
        m_deletedMembers.pop_back();
    }
    emit UndoAvailable(!m_deletedMembers.empty());
    if (error) {
        UserDialogs::Show(m_window.Window, QMessageBox::Warning,
                          RestoreFailureText(deleted.Trashed, error));
        return;
    }
    MembersChanged();
}

void FileOperationsController::ForgetDeletedRows() {
    for (func::DeletedMember& deleted : m_deletedMembers) {
        deleted.Group = -1;
    }
    m_bulkDeleted.clear();
    m_page.Shown().ForgetContentReferences();
}

bool FileOperationsController::MayChangeProtected(const std::string& path, const QString& action) {
    const std::optional<std::string> entry = m_window.ProtectingEntry(path);
    if (!entry) {
        return true;
    }
    return UserDialogs::Show(m_window.Window, QMessageBox::Warning,
                             QStringLiteral("%1 は削除しちゃ駄目リストの「%2」に当たります。\n"
                                            "それでも%3しますか？")
                                 .arg(PathText(path), PathText(*entry), action),
                             QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) == QMessageBox::Yes;
}

void FileOperationsController::Delete() {
    const std::optional<std::pair<int, int>> selected = SelectedMember();
    if (!selected) {
        return;
    }
    const auto [group, slot] = *selected;
    if (!MayChangeProtected(FullPathOf(group, slot), QStringLiteral("削除"))) {
        return;
    }
    // The question's event loop may have run a search's hand-overs that emptied the list.
    if (!ShowsMember(group, slot) || DeleteMemberFile(group, slot)) {
        return;
    }
    // One command deletes one file: the next one waits until the user selects another row.
    m_page.MemberView()->selectionModel()->clear();
}

void FileOperationsController::Move() {
    const std::optional<std::pair<int, int>> selected = SelectedMember();
    if (!selected || !MayChangeProtected(FullPathOf(selected->first, selected->second),
                                         QStringLiteral("移動"))) {
        return;
    }
    DirSelectDialog->SetDialogTitle(QStringLiteral("移動先を指定して下さい"));
    if (UserDialogs::Exec(*DirSelectDialog) != QDialog::Accepted) {
        return;
    }
    // The dialog's event loop may have run a search's hand-overs that emptied the list.
    if (ShowsMember(selected->first, selected->second)) {
        MoveMemberFile(selected->first, selected->second, DirSelectDialog->SelectedFolder());
    }
}

void FileOperationsController::MoveMemberFile(int group, int slot, const std::string& folder) {
    const std::string path = FullPathOf(group, slot);
    PageRows rows(m_page, m_window.FlushPendingRows);
    const platform::MoveResult moved =
        func::MoveMember(m_table, group, slot, folder, m_fileActions, rows);
    if (moved.Error) {
        // A failed move says nothing, except when the file would lose what the target cannot
        // keep: then the user learns why it stayed.
        if (moved.Error.category() == platform::AttributeCategory()) {
            UserDialogs::Show(m_window.Window, QMessageBox::Warning,
                              QStringLiteral("%1 の拡張属性（ACL を含む）を移動先で保てないため、"
                                             "移動しませんでした")
                                  .arg(PathText(path)));
        }
        return;
    }
    // The move may have emptied the list (a replaced member took its group's row along).
    if (ShowsMember(group, slot)) {
        m_page.Members().MemberChanged(slot);
    }
    MembersChanged();
}

void FileOperationsController::Rename() {
    const std::optional<std::pair<int, int>> selected = SelectedMember();
    const search::ResultMember* member =
        selected ? func::MemberAt(m_table, selected->first, selected->second) : nullptr;
    if (member == nullptr) {
        return;
    }
    const auto [group, slot] = *selected;
    const QString oldName = ShownName(member->Name);
    RenameDialog->NoticeLabel->setText(
        QStringLiteral("'%1'の新しい名前を入力して下さい").arg(oldName));
    for (;;) {
        RenameDialog->NewName->setText(oldName);
        if (UserDialogs::Exec(*RenameDialog) != QDialog::Accepted) {
            return;
        }
        // The dialog's event loop may have run a search's hand-overs that emptied the list.
        if (!ShowsMember(group, slot)) {
            return;
        }
        if (RenameMemberFile(group, slot, RenameDialog->NewName->text()) == 0) {
            m_page.Members().MemberChanged(slot);
            return;
        }
    }
}

int FileOperationsController::RenameMemberFile(int group, int slot, const QString& newName) {
    search::ResultMember* member = func::MemberAt(m_table, group, slot);
    if (member != nullptr && newName == ShownName(member->Name)) {
        return 0;
    }
    // Bytes of the old name that the edit left alone stay as they were, shown or not.
    const std::string name = member == nullptr
                                 ? std::string()
                                 : func::EditedName(member->Name, newName.toStdU16String());
    if (member == nullptr || func::RenameMember(*member, name)) {
        UserDialogs::Show(m_window.Window, QMessageBox::Warning, kRenameFailed);
        return 1;
    }
    return 0;
}

void FileOperationsController::EditStarted() {
    m_editing = true;
    m_page.AttachMemberMenu(false);
}

void FileOperationsController::NameEdited(int slot, QString& text) {
    const int group = m_page.Members().Group();
    RenameMemberFile(group, slot, text);
    // The row shows the name as it is now: the new one, or the old one after a failure.
    if (const search::ResultMember* member = func::MemberAt(m_table, group, slot)) {
        text = ShownName(member->Name);
    }
    EditEnded();
}

void FileOperationsController::EditEnded() {
    if (m_editing) {
        m_editing = false;
        m_page.AttachMemberMenu(true);
    }
}

void FileOperationsController::ShowProperties() {
    const std::optional<std::pair<int, int>> selected = SelectedMember();
    const std::string path = selected ? FullPathOf(selected->first, selected->second) : "";
    if (path.empty()) {
        return;
    }
    FileInfoDialog->FilePath = path;
    UserDialogs::Exec(*FileInfoDialog);
}

void FileOperationsController::BulkDelete() {
    GroupListModel& groups = m_page.Groups();
    if (groups.Count() == 0) {
        return;
    }
    // A running search still adds groups and reads the files that the walk would delete.
    if (m_window.IsSearching()) {
        UserDialogs::Show(m_window.Window, QMessageBox::Warning,
                          QStringLiteral("検索中はまとめて削除出来ません"));
        return;
    }
    if (UserDialogs::Show(
            m_window.Window, QMessageBox::Warning,
            QStringLiteral("内容の一致したファイルを一つだけ残して削除します。よろしいですか？"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    m_page.Members().Clear();
    if (DelListForm != nullptr) {
        // Shown from hidden it starts a new list; already open, it keeps its rows.
        DelListForm->show();
        DelListForm->raise();
        DelListForm->ShowSummary({});
    }

    // The members of the listed groups as they are before the walk: where each one was, for the
    // report window's restore, and for the files that stay because their delete failed.
    m_window.FlushPendingRows();
    std::vector<std::pair<int, std::vector<search::ResultMember>>> before;
    for (int row = 0; row < groups.Count(); ++row) {
        const int group = groups.GroupAt(row);
        before.emplace_back(group, m_table.Group(group).Members);
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
    calls.ShowCurrentPath = m_window.ShowWalkedPath;

    if (DelListForm != nullptr) {
        DelListForm->SetFileActions(ReportFileActions());
    }
    GroupRows rows(groups);
    func::RunBulkDelete(rows, m_table, m_window.NoDelEntries(), platform::SystemCodePage(), calls,
                        m_progress, m_window.KeepRule());
    KeepTrackOfBulkDeleted(before, trashedPaths);

    m_window.ShowWalkedPath(std::string());
    // The selected group shows what it keeps.
    m_page.ShowSelectedGroup();
}

void FileOperationsController::PreviewBulkDelete() {
    m_window.FlushPendingRows();
    GroupListModel& groups = m_page.Groups();
    if (groups.Count() == 0 || DelListForm == nullptr) {
        return;
    }
    // As for the bulk delete: shown from hidden it starts a new list; already open, it keeps its
    // rows, which may still have files to put back from the trash.
    DelListForm->show();
    DelListForm->raise();
    const GroupRows rows(groups);
    func::BulkDeleteCalls calls;
    calls.AddReportRow = [](const std::string& path, func::ReportStatus status,
                            const platform::TrashedFile&) {
        DelListForm->AddReportRow(path, status);
    };
    const func::BulkDeletePlan plan =
        func::PreviewBulkDelete(rows, m_table, m_window.NoDelEntries(), platform::SystemCodePage(),
                                m_window.KeepRule(), calls);
    DelListForm->ShowSummary(QStringLiteral("削除予定 %1 ファイル、空く容量 %2 バイト")
                                 .arg(ByteCountText(plan.Files), ByteCountText(plan.Bytes)));
}

void FileOperationsController::KeepTrackOfBulkDeleted(
    const std::vector<std::pair<int, std::vector<search::ResultMember>>>& before,
    std::unordered_map<std::string, std::vector<platform::TrashedFile>>& trashedPaths) {
    for (const auto& [group, members] : before) {
        std::vector<search::ResultMember>& now = m_table.Group(group).Members;
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

void FileOperationsController::Export() {
    m_export.Export(m_table, m_page.Groups(), m_window.FlushPendingRows);
}
