#include "dialogs/entry_list_editor.h"

#include <QApplication>
#include <QCollator>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "dialogs/path_text.h"
#include "func/no_del_list.h"

namespace {

// A row keeps its entry as bytes; the caption shows it decoded.
constexpr int kEntryRole = Qt::UserRole;

const QCollator& Collator() {
    static const QCollator collator;
    return collator;
}

// The order that the list view keeps itself in.
int CollateAsTheList(const std::string& a, const std::string& b) {
    return Collator().compare(PathText(a), PathText(b));
}

// A row that a sorting list places in the locale's order.
class EntryRow : public QTreeWidgetItem {
  public:
    explicit EntryRow(const std::string& entry) {
        setData(0, kEntryRole, QByteArray::fromStdString(entry));
        setText(0, PathText(entry));
        setFlags(flags() | Qt::ItemIsEditable);
    }

    bool operator<(const QTreeWidgetItem& other) const override {
        return Collator().compare(text(0), other.text(0)) < 0;
    }
};

}  // namespace

EntryListEditor::EntryListEditor(QLineEdit& addText, QTreeWidget& list, Fold fold, QObject* parent)
    : QObject(parent), m_addText(addText), m_list(list), m_fold(std::move(fold)) {
    m_list.setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    connect(&m_addText, &QLineEdit::returnPressed, this, &EntryListEditor::Add);
    connect(&m_list, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* row, int column) {
        if (column == 0) {
            Edited(row);
        }
    });
    // The focus leaves the list, not merely for its own in-place editor. The tidy waits until the
    // editor has handed its text back.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const auto inList = [this](const QWidget* widget) {
            return widget == &m_list || m_list.isAncestorOf(widget);
        };
        if (old != nullptr && now != nullptr && inList(old) && !inList(now)) {
            QMetaObject::invokeMethod(this, &EntryListEditor::Tidy, Qt::QueuedConnection);
        }
    });
}

std::string EntryListEditor::FoldedText(const QString& text) const {
    return m_fold(PathBytes(text));
}

void EntryListEditor::Add() {
    {
        const QSignalBlocker blocker(m_list);
        m_list.addTopLevelItem(new EntryRow(FoldedText(m_addText.text())));
    }
    Tidy();
    m_addText.clear();
}

void EntryListEditor::Edited(QTreeWidgetItem* row) {
    // An empty or doubled entry stays until the next tidy.
    const std::vector<std::string> lines = func::EntryLines(FoldedText(row->text(0)));
    const QSignalBlocker blocker(m_list);
    row->setData(0, kEntryRole, QByteArray::fromStdString(lines.front()));
    row->setText(0, PathText(lines.front()));
    for (std::size_t i = 1; i < lines.size(); ++i) {
        m_list.addTopLevelItem(new EntryRow(lines[i]));
    }
}

void EntryListEditor::Tidy() {
    std::vector<std::string> entries = Entries();
    func::TidyNoDelList(entries, CollateAsTheList);
    SetEntries(entries);
}

std::vector<std::string> EntryListEditor::Entries() const {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(m_list.topLevelItemCount()));
    for (int i = 0; i < m_list.topLevelItemCount(); ++i) {
        entries.push_back(m_list.topLevelItem(i)->data(0, kEntryRole).toByteArray().toStdString());
    }
    return entries;
}

void EntryListEditor::SetEntries(const std::vector<std::string>& entries) {
    const QSignalBlocker blocker(m_list);
    m_list.clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& entry : entries) {
        rows << new EntryRow(entry);
    }
    m_list.addTopLevelItems(rows);
}
