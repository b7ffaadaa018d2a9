// The single-file operations on the selected member row: open, rename (dialog and in place),
// move, delete and properties. Each acts on the file system first and then brings the member
// row, its result slot and the group row up to date.
//
// A search may still run: the worker only writes groups that it has not handed over yet, and
// every row here belongs to a group that was handed over, so the commands never meet the worker.

#include <QAction>
#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QUrl>
#include <utility>
#include <vector>

#include "dialogs/Delform.h"
#include "dialogs/Dirselect.h"
#include "dialogs/Fileinfo.h"
#include "dialogs/Rename_dialog.h"
#include "dialogs/user_dialogs.h"
#include "func/name_edit.h"
#include "func/no_del_list.h"
#include "func/single_file_operations.h"
#include "main/group_list_model.h"
#include "main/main_form.h"
#include "main/member_list_model.h"
#include "main/results_page.h"
#include "platform/codepage.h"
#include "platform/file_operations.h"
#include "platform/trash.h"

namespace {

constexpr int kNameColumn = MemberListModel::kNameColumn;
const QString kRenameFailed = QStringLiteral("名前変更出来ません");

// Opens editors on the file name only, and tells the window when an in-place edit begins, is
// accepted and ends. Draws the cells as the list's own delegate does.
class NameEditDelegate : public QStyledItemDelegate {
  public:
    NameEditDelegate(TMainForm& form, QTreeView* list)
        : QStyledItemDelegate(list), m_form(form), m_look(list->itemDelegate()) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        m_look->paint(painter, option, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return m_look->sizeHint(option, index);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.column() != kNameColumn) {
            return nullptr;
        }
        m_form.DetailListEditing();
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

    // From now on an editor that closes renames nothing and tells the window nothing.
    void Drop() { m_dropped = true; }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (m_dropped) {
            return;
        }
        const auto* line = qobject_cast<QLineEdit*>(editor);
        if (line == nullptr || !index.isValid()) {
            return;
        }
        QString text = line->text();
        // The rename may show a message box; the list has taken its watch off the editor
        // meanwhile, so losing the focus to the box does not commit the edit a second time.
        m_form.DetailListEdited(index.data(MemberListModel::kSlotRole).toInt(), text);
        model->setData(index, text, Qt::EditRole);
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        // Accepted or dropped (Esc, focus elsewhere): the edit is over either way.
        if (!m_dropped) {
            m_form.EndInPlaceEdit();
        }
        QStyledItemDelegate::destroyEditor(editor, index);
    }

  private:
    TMainForm& m_form;
    QAbstractItemDelegate* m_look;
    bool m_dropped = false;
};

// Routes the member list's keys and its double clicks on empty space to the window.
class DetailListInput : public QObject {
  public:
    // Belongs to the list. While the window is being destroyed the list and its viewport still
    // get events: only those that this filter acts on touch the list or reach the window.
    DetailListInput(TMainForm& form, QTreeView* list)
        : QObject(list), m_form(form), m_list(list), m_viewport(list->viewport()) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        QTreeView* list = m_list;
        if (watched == list && event->type() == QEvent::ShortcutOverride) {
            // Del, with any modifier, goes to DetailListKeyDown rather than to the context
            // menu's shortcut, so that one key press deletes at most one file.
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Delete && !m_form.InPlaceEditing) {
                event->accept();
                return true;
            }
        } else if (watched == list && event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Delete) {
                // A held key repeats: only the press itself is a command.
                if (!key->isAutoRepeat()) {
                    m_form.DetailListKeyDown(key->key());
                }
                return true;
            }
        } else if (watched == m_viewport && event->type() == QEvent::MouseButtonDblClick) {
            // A double click on a row opens it through the list's own signal; one on empty
            // space opens the row that is still selected.
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (!list->indexAt(mouse->position().toPoint()).isValid()) {
                m_form.OpenButtonClick();
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    TMainForm& m_form;
    QTreeView* m_list;
    QWidget* m_viewport;
};

// A file URL that keeps every byte of the path, valid UTF-8 or not.
QUrl UrlOfPath(const std::string& path) {
    return QUrl::fromEncoded(
        QByteArrayLiteral("file://") + QByteArray::fromStdString(path).toPercentEncoding("/"),
        QUrl::StrictMode);
}

// Why a file could not be put back from the trash, for the message that says so.
QString RestoreFailureText(const platform::TrashedFile& trashed, const std::error_code& error) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(trashed.OriginalPath));
    return QStringLiteral("%1 を元に戻せません。%2").arg(path, RestoreFailureReason(error));
}

}  // namespace

// The results page's lists as the file operations change them.
class ResultPageRows : public func::ResultRows {
  public:
    explicit ResultPageRows(TMainForm& form) : m_form(form), m_page(*form.m_resultsPage) {}

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
            m_form.SameListSelectItem();
        }
    }

    void ShowRestoredMember(int group, int /*slot*/, std::int32_t count) override {
        GroupListModel& groups = m_page.Groups();
        if (!groups.Lists(group)) {
            if (count < 2) {
                return;
            }
            // The group had dropped to one member and left the list: it comes back at the end.
            groups.Append({group});
        } else {
            groups.Refresh(group);
        }
        if (m_page.SelectedGroup() == group) {
            m_form.ShowMembersOf(group);
        }
    }

    std::vector<int> ListedGroups() const override {
        m_form.FlushPendingRows();
        const GroupListModel& groups = m_page.Groups();
        std::vector<int> listed;
        listed.reserve(static_cast<std::size_t>(groups.Count()));
        for (int row = 0; row < groups.Count(); ++row) {
            listed.push_back(groups.GroupAt(row));
        }
        return listed;
    }

  private:
    TMainForm& m_form;
    ResultsPage& m_page;
};

void TMainForm::SetUpFileOperations() {
    QTreeView* members = m_resultsPage->MemberView();
    members->setItemDelegate(new NameEditDelegate(*this, members));
    // A click on the selected row opens the editor; F2 belongs to the rename dialog.
    members->setEditTriggers(QAbstractItemView::SelectedClicked);
    auto* input = new DetailListInput(*this, members);
    members->installEventFilter(input);
    members->viewport()->installEventFilter(input);
}

void TMainForm::DropInPlaceEdit() {
    if (auto* delegate =
            dynamic_cast<NameEditDelegate*>(m_resultsPage->MemberView()->itemDelegate())) {
        delegate->Drop();
    }
}

std::optional<std::pair<int, int>> TMainForm::SelectedMember() const {
    const std::optional<int> slot = m_resultsPage->SelectedSlot();
    if (!slot) {
        return std::nullopt;
    }
    return std::pair{m_resultsPage->Members().Group(), *slot};
}

bool TMainForm::ShowsMember(int group, int slot) const {
    return m_resultsPage->Members().Group() == group && m_resultsPage->Members().RowOf(slot) >= 0;
}

search::ResultMember* TMainForm::MemberAt(int group, int slot) const {
    return func::MemberAt(*m_results, group, slot);
}

std::string TMainForm::FullPathOf(int group, int slot) const {
    const search::ResultMember* member = MemberAt(group, slot);
    if (member == nullptr) {
        return std::string();
    }
    std::string path = member->FullPath();
    if (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

void TMainForm::OpenWithAssociatedProgram(const std::string& path) {
    QDesktopServices::openUrl(UrlOfPath(path));
}

void TMainForm::OpenButtonClick() {
    const auto selected = SelectedMember();
    const std::string path = selected ? FullPathOf(selected->first, selected->second) : "";
    if (!path.empty()) {
        OpenWithAssociatedProgram(path);
    }
}

platform::TrashResult TMainForm::DeletePath(const std::string& path) {
    return m_fileActions.MoveToTrash(path);
}

void TMainForm::SetFileActions(func::FileActions actions) {
    m_fileActions = std::move(actions);
    if (DelListForm != nullptr) {
        DelListForm->SetFileActions(ReportFileActions());
    }
}

func::FileActions TMainForm::ReportFileActions() {
    func::FileActions actions = m_fileActions;
    actions.RestoreFromTrash = [this](const platform::TrashedFile& trashed) {
        return RestoreBulkDeleted(trashed);
    };
    return actions;
}

std::error_code TMainForm::RestoreBulkDeleted(const platform::TrashedFile& trashed) {
    const auto found = m_bulkDeleted.find(trashed.TrashedPath);
    if (found == m_bulkDeleted.end() || !(found->second.Trashed == trashed)) {
        return m_fileActions.RestoreFromTrash(trashed);
    }
    FlushPendingRows();
    ResultPageRows rows(*this);
    const std::error_code error =
        func::RestoreMember(*m_results, found->second, m_fileActions, rows);
    if (!error) {
        m_bulkDeleted.erase(found);
        ShowResultCount();
        RefreshShownContents();
    }
    return error;
}

std::error_code TMainForm::DeleteMemberFile(int group, int slot) {
    ResultPageRows rows(*this);
    func::DeletedMember deleted;
    const std::error_code error =
        func::DeleteMember(*m_results, group, slot, m_fileActions, rows, &deleted);
    if (!error) {
        m_deletedMembers.push_back(std::move(deleted));
        MenuUndo->setEnabled(true);
        ShowResultCount();
        RefreshShownContents();
    }
    return error;
}

void TMainForm::MenuUndoClick() {
    if (m_deletedMembers.empty()) {
        return;
    }
    FlushPendingRows();
    const func::DeletedMember deleted = m_deletedMembers.back();
    ResultPageRows rows(*this);
    const std::error_code error = func::RestoreMember(*m_results, deleted, m_fileActions, rows);
    // A file that stays in the trash may be tried again (once its name is free, say); one that
    // the trash no longer holds cannot come back, and the next undo goes on with the delete
    // before it.
    if (!error || error == platform::TrashErrc::NotInTrash) {
        m_deletedMembers.pop_back();
    }
    MenuUndo->setEnabled(!m_deletedMembers.empty());
    if (error) {
        UserDialogs::Show(this, QMessageBox::Warning, RestoreFailureText(deleted.Trashed, error));
        return;
    }
    ShowResultCount();
    RefreshShownContents();
}

void TMainForm::ForgetDeletedRows() {
    for (func::DeletedMember& deleted : m_deletedMembers) {
        deleted.Group = -1;
    }
    m_bulkDeleted.clear();
    m_contentReference.clear();
}

bool TMainForm::MayChangeProtected(const std::string& path, const QString& action) {
    const platform::CodePage& codePage = platform::SystemCodePage();
    const std::vector<std::string> entries = NoDelEntries();
    const std::string* entry = func::ProtectingEntry(codePage.UpperAscii(path), entries, codePage);
    if (entry == nullptr) {
        return true;
    }
    const auto decoded = [](const std::string& bytes) {
        return QFile::decodeName(QByteArray::fromStdString(bytes));
    };
    return UserDialogs::Show(this, QMessageBox::Warning,
                             QStringLiteral("%1 は削除しちゃ駄目リストの「%2」に当たります。\n"
                                            "それでも%3しますか？")
                                 .arg(decoded(path), decoded(*entry), action),
                             QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) == QMessageBox::Yes;
}

void TMainForm::DeleteSelected() {
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
    m_resultsPage->MemberView()->selectionModel()->clear();
}

void TMainForm::FileDelButtonClick() {
    DeleteSelected();
}

void TMainForm::MoveButtonClick() {
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

void TMainForm::MoveMemberFile(int group, int slot, const std::string& folder) {
    const std::string path = FullPathOf(group, slot);
    ResultPageRows rows(*this);
    const platform::MoveResult moved =
        func::MoveMember(*m_results, group, slot, folder, m_fileActions, rows);
    if (moved.Error) {
        // A failed move says nothing, except when the file would lose what the target cannot
        // keep: then the user learns why it stayed.
        if (moved.Error.category() == platform::AttributeCategory()) {
            UserDialogs::Show(this, QMessageBox::Warning,
                              QStringLiteral("%1 の拡張属性（ACL を含む）を移動先で保てないため、"
                                             "移動しませんでした")
                                  .arg(QFile::decodeName(QByteArray::fromStdString(path))));
        }
        return;
    }
    // The move may have emptied the list (a replaced member took its group's row along).
    if (ShowsMember(group, slot)) {
        m_resultsPage->Members().MemberChanged(slot);
    }
    ShowResultCount();
    RefreshShownContents();
}

void TMainForm::RenameButtonClick() {
    const std::optional<std::pair<int, int>> selected = SelectedMember();
    const search::ResultMember* member =
        selected ? MemberAt(selected->first, selected->second) : nullptr;
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
            m_resultsPage->Members().MemberChanged(slot);
            return;
        }
    }
}

int TMainForm::RenameMemberFile(int group, int slot, const QString& newName) {
    search::ResultMember* member = MemberAt(group, slot);
    if (member != nullptr && newName == ShownName(member->Name)) {
        return 0;
    }
    // Bytes of the old name that the edit left alone stay as they were, shown or not.
    const std::string name = member == nullptr
                                 ? std::string()
                                 : func::EditedName(member->Name, newName.toStdU16String());
    if (member == nullptr || func::RenameMember(*member, name)) {
        UserDialogs::Show(this, QMessageBox::Warning, kRenameFailed);
        return 1;
    }
    return 0;
}

void TMainForm::DetailListEditing() {
    InPlaceEditing = true;
    m_resultsPage->AttachMemberMenu(false);
}

void TMainForm::DetailListEdited(int slot, QString& text) {
    const int group = m_resultsPage->Members().Group();
    RenameMemberFile(group, slot, text);
    // The row shows the name as it is now: the new one, or the old one after a failure.
    if (const search::ResultMember* member = MemberAt(group, slot)) {
        text = ShownName(member->Name);
    }
    EndInPlaceEdit();
}

void TMainForm::EndInPlaceEdit() {
    if (InPlaceEditing) {
        InPlaceEditing = false;
        m_resultsPage->AttachMemberMenu(true);
    }
}

void TMainForm::DetailListKeyDown(int key) {
    if (!InPlaceEditing && key == Qt::Key_Delete) {
        DeleteSelected();
    }
}

void TMainForm::DetailPropertyClick() {
    const std::optional<std::pair<int, int>> selected = SelectedMember();
    const std::string path = selected ? FullPathOf(selected->first, selected->second) : "";
    if (path.empty()) {
        return;
    }
    FileInfoDialog->FilePath = path;
    UserDialogs::Exec(*FileInfoDialog);
}
