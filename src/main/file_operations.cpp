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
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>
#include <utility>
#include <vector>

#include "dialogs/Dirselect.h"
#include "dialogs/Fileinfo.h"
#include "dialogs/Rename_dialog.h"
#include "dialogs/user_dialogs.h"
#include "func/bulk_delete.h"
#include "func/name_edit.h"
#include "main/main_form.h"
#include "platform/file_operations.h"
#include "platform/file_stamp.h"
#include "platform/trash.h"

namespace {

constexpr int kNameColumn = 0;
constexpr int kFolderColumn = 1;
constexpr int kGroupCountColumn = 1;
const QString kRenameFailed = QStringLiteral("名前変更出来ません");

// Opens editors on the file name only, and tells the window when an in-place edit begins, is
// accepted and ends. Draws the cells as the list's own delegate does.
class NameEditDelegate : public QStyledItemDelegate {
  public:
    NameEditDelegate(TMainForm& form, QAbstractItemDelegate* look)
        : QStyledItemDelegate(form.DetailList), m_form(form), m_look(look) {}

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
        QTreeWidgetItem* row = m_form.DetailList->topLevelItem(index.row());
        if (line == nullptr || row == nullptr) {
            return;
        }
        QString text = line->text();
        // The rename may show a message box; the list has taken its watch off the editor
        // meanwhile, so losing the focus to the box does not commit the edit a second time.
        m_form.DetailListEdited(row, text);
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
    DetailListInput(TMainForm& form, QTreeWidget* list)
        : QObject(list), m_form(form), m_list(list), m_viewport(list->viewport()) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        QTreeWidget* list = m_list;
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
            if (list->itemAt(mouse->position().toPoint()) == nullptr) {
                m_form.OpenButtonClick();
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    TMainForm& m_form;
    QTreeWidget* m_list;
    QWidget* m_viewport;
};

// A file URL that keeps every byte of the path, valid UTF-8 or not.
QUrl UrlOfPath(const std::string& path) {
    return QUrl::fromEncoded(
        QByteArrayLiteral("file://") + QByteArray::fromStdString(path).toPercentEncoding("/"),
        QUrl::StrictMode);
}

// A name that stays in its folder: not empty, not "." or "..", no separator, no NUL.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

// The path still names the file that the search found (the same device and inode).
bool IsSameFile(const search::ResultMember& member, const std::string& path) {
    const std::optional<platform::FileStamp> stamp = platform::ReadFileStamp(path);
    return stamp && stamp->Identity == member.Stamp.Identity;
}

}  // namespace

void TMainForm::SetUpFileOperations() {
    DetailList->setItemDelegate(new NameEditDelegate(*this, DetailList->itemDelegate()));
    // A click on the selected row opens the editor; F2 belongs to the rename dialog.
    DetailList->setEditTriggers(QAbstractItemView::SelectedClicked);
    auto* input = new DetailListInput(*this, DetailList);
    DetailList->installEventFilter(input);
    DetailList->viewport()->installEventFilter(input);
}

void TMainForm::DropInPlaceEdit() {
    if (auto* delegate = dynamic_cast<NameEditDelegate*>(DetailList->itemDelegate())) {
        delegate->Drop();
    }
}

QTreeWidgetItem* TMainForm::SelectedMemberRow() const {
    const QList<QTreeWidgetItem*> selected = DetailList->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

QTreeWidgetItem* TMainForm::MemberRowOfSlot(int group, int slot) const {
    for (int i = 0; i < DetailList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = DetailList->topLevelItem(i);
        if (SlotOfRow(row) == std::pair{group, slot}) {
            return row;
        }
    }
    return nullptr;
}

QTreeWidgetItem* TMainForm::GroupRowOf(int group) const {
    for (int i = 0; i < SameList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = SameList->topLevelItem(i);
        if (GroupOfRow(row) == group) {
            return row;
        }
    }
    return nullptr;
}

search::ResultMember* TMainForm::MemberOfRow(const QTreeWidgetItem* row) const {
    const std::optional<std::pair<int, int>> slot = SlotOfRow(row);
    if (!slot || slot->first >= m_results->Capacity()) {
        return nullptr;
    }
    search::ResultGroup& group = m_results->Group(slot->first);
    if (slot->second >= static_cast<int>(group.Members.size())) {
        return nullptr;
    }
    search::ResultMember& member = group.Members[static_cast<std::size_t>(slot->second)];
    return member.IsFree() ? nullptr : &member;
}

std::string TMainForm::FullPathOf(const QTreeWidgetItem* row) const {
    const search::ResultMember* member = MemberOfRow(row);
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
    const std::string path = FullPathOf(SelectedMemberRow());
    if (!path.empty()) {
        OpenWithAssociatedProgram(path);
    }
}

std::error_code TMainForm::DeletePath(const std::string& path) {
    return m_fileActions.MoveToTrash(path);
}

void TMainForm::SetFileActions(func::FileActions actions) {
    m_fileActions = std::move(actions);
}

std::error_code TMainForm::DeleteRowFile(const QTreeWidgetItem* row) {
    const search::ResultMember* member = MemberOfRow(row);
    if (member == nullptr) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    const std::string path = FullPathOf(row);
    // The file must still be the one that the search found: the same file, unchanged. A file
    // put in its place, or changed since, may no longer be a copy of the others.
    if (!func::IsFileAsFound(*member, platform::ReadFileStamp(path))) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    return DeletePath(path);
}

void TMainForm::ForgetMember(int groupIndex, int slot) {
    FlushPendingRows();
    search::ResultGroup& group = m_results->Group(groupIndex);
    group.Members[static_cast<std::size_t>(slot)].Name.clear();
    delete MemberRowOfSlot(groupIndex, slot);
    group.MemberCount = std::max(0, group.MemberCount - 1);

    // The group row is found by its index: it need not be the selected one.
    QTreeWidgetItem* groupRow = GroupRowOf(groupIndex);
    if (group.MemberCount > 1) {
        if (groupRow != nullptr) {
            groupRow->setText(kGroupCountColumn, QString::number(group.MemberCount));
        }
    } else {
        bool showsGroup = DetailList->topLevelItemCount() == 0;
        for (int i = 0; i < DetailList->topLevelItemCount(); ++i) {
            const auto rowSlot = SlotOfRow(DetailList->topLevelItem(i));
            showsGroup = showsGroup || (rowSlot && rowSlot->first == groupIndex);
        }
        if (groupRow != nullptr) {
            // Deselect first, so that no other group's members take the list's place.
            if (groupRow->isSelected()) {
                SameList->clearSelection();
            }
            delete groupRow;
        }
        if (showsGroup) {
            DetailList->clear();
            FileSizeView->clear();
            // The list selects the row that takes the removed row's place: it shows its members.
            SameListSelectItem();
        }
    }
    ShowResultCount();
}

void TMainForm::DeleteSelected() {
    QTreeWidgetItem* row = SelectedMemberRow();
    const std::optional<std::pair<int, int>> slot = SlotOfRow(row);
    if (row == nullptr || !slot || DeleteRowFile(row)) {
        return;
    }
    ForgetMember(slot->first, slot->second);
    // One command deletes one file: the next one waits until the user selects another row.
    DetailList->selectionModel()->clear();
}

void TMainForm::FileDelButtonClick() {
    DeleteSelected();
}

void TMainForm::MoveButtonClick() {
    const std::optional<std::pair<int, int>> slot = SlotOfRow(SelectedMemberRow());
    if (!slot) {
        return;
    }
    DirSelectDialog->SetDialogTitle(QStringLiteral("移動先を指定して下さい"));
    if (UserDialogs::Exec(*DirSelectDialog) != QDialog::Accepted) {
        return;
    }
    // The dialog's event loop may have run a search's hand-overs that emptied the list.
    if (QTreeWidgetItem* row = MemberRowOfSlot(slot->first, slot->second)) {
        MoveRowFile(row, DirSelectDialog->SelectedFolder());
    }
}

void TMainForm::MoveRowFile(QTreeWidgetItem* row, const std::string& folder) {
    search::ResultMember* member = MemberOfRow(row);
    const std::optional<std::pair<int, int>> slot = SlotOfRow(row);
    if (member == nullptr || !slot || folder.empty()) {
        return;
    }
    const std::string path = FullPathOf(row);
    if (!IsSameFile(*member, path)) {
        return;
    }
    const platform::MoveResult moved = m_fileActions.MoveToFolder(path, folder);
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
    member->Folder = folder.back() == '/' ? folder : folder + '/';
    // Across file systems the file is a copy now, with an identity of its own; its size and
    // times are those it had.
    if (const std::optional<platform::FileStamp> stamp = platform::ReadFileStamp(moved.NewPath)) {
        member->Stamp.Identity = stamp->Identity;
    }
    row->setText(kFolderColumn, QFile::decodeName(member->Folder.c_str()));

    if (moved.Replaced) {
        FlushPendingRows();
        // The file that the move replaced is in the trash now: listed members at that path are
        // gone, like deleted ones.
        std::vector<std::pair<int, int>> replaced;
        for (int i = 0; i < SameList->topLevelItemCount(); ++i) {
            const std::optional<int> groupIndex = GroupOfRow(SameList->topLevelItem(i));
            if (!groupIndex || *groupIndex >= m_results->Capacity()) {
                continue;
            }
            const search::ResultGroup& group = m_results->Group(*groupIndex);
            for (int s = 0; s < static_cast<int>(group.Members.size()); ++s) {
                const search::ResultMember& other = group.Members[static_cast<std::size_t>(s)];
                if (!other.IsFree() && std::pair{*groupIndex, s} != *slot &&
                    other.FullPath() == moved.NewPath) {
                    replaced.emplace_back(*groupIndex, s);
                }
            }
        }
        for (const auto& [groupIndex, s] : replaced) {
            ForgetMember(groupIndex, s);
        }
    }
}

void TMainForm::RenameButtonClick() {
    QTreeWidgetItem* row = SelectedMemberRow();
    const std::optional<std::pair<int, int>> slot = SlotOfRow(row);
    if (row == nullptr || !slot) {
        return;
    }
    const QString oldName = row->text(kNameColumn);
    RenameDialog->NoticeLabel->setText(
        QStringLiteral("'%1'の新しい名前を入力して下さい").arg(oldName));
    for (;;) {
        RenameDialog->NewName->setText(oldName);
        if (UserDialogs::Exec(*RenameDialog) != QDialog::Accepted) {
            return;
        }
        // The dialog's event loop may have run a search's hand-overs that emptied the list.
        row = MemberRowOfSlot(slot->first, slot->second);
        if (row == nullptr) {
            return;
        }
        const QString newName = RenameDialog->NewName->text();
        if (RenameRowFile(row, newName) == 0) {
            if (const search::ResultMember* member = MemberOfRow(row)) {
                row->setText(kNameColumn, ShownName(member->Name));
            }
            return;
        }
    }
}

int TMainForm::RenameRowFile(QTreeWidgetItem* row, const QString& newName) {
    if (newName == row->text(kNameColumn)) {
        return 0;
    }
    search::ResultMember* member = MemberOfRow(row);
    // Bytes of the old name that the edit left alone stay as they were, shown or not.
    const std::string name = member == nullptr
                                 ? std::string()
                                 : func::EditedName(member->Name, newName.toStdU16String());
    // A name with a separator would move the file elsewhere; the path must also still name the
    // file that the row stands for.
    if (member == nullptr || !IsPlainName(name) || !IsSameFile(*member, member->FullPath()) ||
        platform::RenameNoReplace(member->FullPath(), member->Folder + name)) {
        UserDialogs::Show(this, QMessageBox::Warning, kRenameFailed);
        return 1;
    }
    member->Name = name;
    return 0;
}

void TMainForm::AttachDetailMenu(bool attached) {
    const QList<QAction*> actions{DetailOpen, DetailRename, DetailMove, DetailDelete,
                                  DetailProperty};
    if (attached) {
        DetailList->addActions(actions);
        DetailList->setContextMenuPolicy(Qt::CustomContextMenu);
    } else {
        for (QAction* action : actions) {
            DetailList->removeAction(action);
        }
        DetailList->setContextMenuPolicy(Qt::PreventContextMenu);
    }
}

void TMainForm::DetailListEditing() {
    InPlaceEditing = true;
    AttachDetailMenu(false);
}

void TMainForm::DetailListEdited(QTreeWidgetItem* row, QString& text) {
    if (RenameRowFile(row, text) == 1) {
        text = row->text(kNameColumn);
    } else if (const search::ResultMember* member = MemberOfRow(row)) {
        text = ShownName(member->Name);
    }
    EndInPlaceEdit();
}

void TMainForm::EndInPlaceEdit() {
    if (InPlaceEditing) {
        InPlaceEditing = false;
        AttachDetailMenu(true);
    }
}

void TMainForm::DetailListKeyDown(int key) {
    if (!InPlaceEditing && key == Qt::Key_Delete) {
        DeleteSelected();
    }
}

void TMainForm::DetailPropertyClick() {
    const std::string path = FullPathOf(SelectedMemberRow());
    if (path.empty()) {
        return;
    }
    FileInfoDialog->FilePath = path;
    UserDialogs::Exec(*FileInfoDialog);
}
