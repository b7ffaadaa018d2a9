#include "main/member_list_input.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTreeView>

#include "main/file_operations_controller.h"
#include "main/member_list_model.h"

namespace {

constexpr int kNameColumn = MemberListModel::kNameColumn;

// Opens editors on the file name only, and tells the file operations when an in-place edit begins,
// is accepted and ends. Draws the cells as the list's own delegate does.
class NameEditDelegate : public QStyledItemDelegate {
  public:
    NameEditDelegate(FileOperationsController& operations, QTreeView* list)
        : QStyledItemDelegate(list), m_operations(operations), m_look(list->itemDelegate()) {}

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
        m_operations.EditStarted();
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

    // From now on an editor that closes renames nothing and tells the file operations nothing.
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
        m_operations.NameEdited(index.data(MemberListModel::kSlotRole).toInt(), text);
        model->setData(index, text, Qt::EditRole);
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        // Accepted or dropped (Esc, focus elsewhere): the edit is over either way.
        if (!m_dropped) {
            m_operations.EditEnded();
        }
        QStyledItemDelegate::destroyEditor(editor, index);
    }

  private:
    FileOperationsController& m_operations;
    QAbstractItemDelegate* m_look;
    bool m_dropped = false;
};

// Routes the member list's Del key and its double clicks on empty space to the file operations.
class DetailListInput : public QObject {
  public:
    // Belongs to the list. While the window is being destroyed the list and its viewport still
    // get events: only those that this filter acts on touch the list or reach the file operations.
    DetailListInput(FileOperationsController& operations, QTreeView* list)
        : QObject(list), m_operations(operations), m_list(list), m_viewport(list->viewport()) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        QTreeView* list = m_list;
        if (watched == list && event->type() == QEvent::ShortcutOverride) {
            // Del, with any modifier, goes to the delete rather than to the context
            // menu's shortcut, so that one key press deletes at most one file.
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Delete && !m_operations.IsEditing()) {
                event->accept();
                return true;
            }
        } else if (watched == list && event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Delete) {
                // A held key repeats: only the press itself is a command.
                if (!key->isAutoRepeat() && !m_operations.IsEditing()) {
                    m_operations.Delete();
                }
                return true;
            }
        } else if (watched == m_viewport && event->type() == QEvent::MouseButtonDblClick) {
            // A double click on a row opens it through the list's own signal; one on empty
            // space opens the row that is still selected.
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (!list->indexAt(mouse->position().toPoint()).isValid()) {
                m_operations.Open();
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    FileOperationsController& m_operations;
    QTreeView* m_list;
    QWidget* m_viewport;
};

}  // namespace

void AttachMemberListInput(QTreeView* members, FileOperationsController& operations) {
    members->setItemDelegate(new NameEditDelegate(operations, members));
    // A click on the selected row opens the editor; F2 belongs to the rename dialog.
    members->setEditTriggers(QAbstractItemView::SelectedClicked);
    auto* input = new DetailListInput(operations, members);
    members->installEventFilter(input);
    members->viewport()->installEventFilter(input);
}

void DropMemberListEdit(QTreeView* members) {
    if (auto* delegate = dynamic_cast<NameEditDelegate*>(members->itemDelegate())) {
        delegate->Drop();
    }
}
