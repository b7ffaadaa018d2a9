// The window's file commands, which the file operations controller carries out, and the member
// list's in-place rename editor and keys that lead to them.

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <utility>

#include "main/file_operations_controller.h"
#include "main/main_form.h"
#include "main/member_list_model.h"
#include "main/results_page.h"

namespace {

constexpr int kNameColumn = MemberListModel::kNameColumn;

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
            if (key->key() == Qt::Key_Delete && !m_form.FileOperations().IsEditing()) {
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

}  // namespace

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

void TMainForm::OpenButtonClick() {
    m_fileOperations->Open();
}

void TMainForm::RenameButtonClick() {
    m_fileOperations->Rename();
}

void TMainForm::MoveButtonClick() {
    m_fileOperations->Move();
}

void TMainForm::FileDelButtonClick() {
    m_fileOperations->Delete();
}

void TMainForm::DetailPropertyClick() {
    m_fileOperations->ShowProperties();
}

void TMainForm::AllDeleteClick() {
    m_fileOperations->BulkDelete();
}

void TMainForm::PreviewDeleteClick() {
    m_fileOperations->PreviewBulkDelete();
}

void TMainForm::ExportClick() {
    m_fileOperations->Export();
}

void TMainForm::MenuUndoClick() {
    m_fileOperations->Undo();
}

void TMainForm::SetFileActions(func::FileActions actions) {
    m_fileOperations->SetFileActions(std::move(actions));
}

void TMainForm::DetailListEditing() {
    m_fileOperations->EditStarted();
}

void TMainForm::DetailListEdited(int slot, QString& text) {
    m_fileOperations->NameEdited(slot, text);
}

void TMainForm::EndInPlaceEdit() {
    m_fileOperations->EditEnded();
}

void TMainForm::DetailListKeyDown(int key) {
    if (!m_fileOperations->IsEditing() && key == Qt::Key_Delete) {
        m_fileOperations->Delete();
    }
}
