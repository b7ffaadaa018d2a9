// The must-not-delete page: the entries that the bulk delete never deletes, one row each.

#include <QApplication>
#include <QCollator>
#include <QFile>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "func/no_del_list.h"
#include "main/main_form.h"
#include "main/report_list.h"
#include "platform/codepage.h"

namespace {

// A row keeps its entry as bytes; the caption shows it decoded.
constexpr int kEntryRole = Qt::UserRole;

// The order that the list view keeps itself in.
int CollateAsTheList(const std::string& a, const std::string& b) {
    static const QCollator collator;
    return collator.compare(QFile::decodeName(QByteArray::fromStdString(a)),
                            QFile::decodeName(QByteArray::fromStdString(b)));
}

std::string UpperEntry(const QString& text) {
    return platform::SystemCodePage().UpperAscii(QFile::encodeName(text).toStdString());
}

QTreeWidgetItem* NewEntryRow(const std::string& entry) {
    auto* row = new CollatedItem;
    row->setData(0, kEntryRole, QByteArray::fromStdString(entry));
    row->setText(0, QFile::decodeName(QByteArray::fromStdString(entry)));
    row->setFlags(row->flags() | Qt::ItemIsEditable);
    return row;
}

}  // namespace

void TMainForm::SetUpNoDeletePage() {
    NoDelList->setEditTriggers(QAbstractItemView::SelectedClicked |
                               QAbstractItemView::EditKeyPressed);
    connect(AddText, &QLineEdit::returnPressed, this, [this] { AddTextKeyPress('\r'); });
    connect(NoDelList, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* row, int column) {
        if (column == 0) {
            NoDelListEdited(row);
        }
    });
    // The focus leaves the list, not merely for its own in-place editor. The tidy waits until the
    // editor has handed its text back.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const auto inList = [this](const QWidget* widget) {
            return widget == NoDelList || NoDelList->isAncestorOf(widget);
        };
        if (old != nullptr && now != nullptr && inList(old) && !inList(now)) {
            QMetaObject::invokeMethod(this, &TMainForm::NoDelListExit, Qt::QueuedConnection);
        }
    });
}

void TMainForm::AddTextKeyPress(char key) {
    if (key != '\r') {
        return;
    }
    {
        const QSignalBlocker blocker(NoDelList);
        NoDelList->addTopLevelItem(NewEntryRow(UpperEntry(AddText->text())));
    }
    TidyNoDelList();
    AddText->clear();
}

void TMainForm::NoDelListEdited(QTreeWidgetItem* row) {
    // The accepted text, upper-cased; an empty or doubled entry stays until the next tidy. Text
    // with line breaks becomes one entry per line: the row takes the first.
    const std::vector<std::string> lines = func::EntryLines(UpperEntry(row->text(0)));
    const QSignalBlocker blocker(NoDelList);
    row->setData(0, kEntryRole, QByteArray::fromStdString(lines.front()));
    row->setText(0, QFile::decodeName(QByteArray::fromStdString(lines.front())));
    for (std::size_t i = 1; i < lines.size(); ++i) {
        NoDelList->addTopLevelItem(NewEntryRow(lines[i]));
    }
}

void TMainForm::NoDelListExit() {
    TidyNoDelList();
}

void TMainForm::TidyNoDelList() {
    std::vector<std::string> entries = NoDelEntries();
    func::TidyNoDelList(entries, CollateAsTheList);
    SetNoDelEntries(entries);
}

std::vector<std::string> TMainForm::NoDelEntries() const {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(NoDelList->topLevelItemCount()));
    for (int i = 0; i < NoDelList->topLevelItemCount(); ++i) {
        entries.push_back(
            NoDelList->topLevelItem(i)->data(0, kEntryRole).toByteArray().toStdString());
    }
    return entries;
}

void TMainForm::SetNoDelEntries(const std::vector<std::string>& entries) {
    const QSignalBlocker blocker(NoDelList);
    NoDelList->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& entry : entries) {
        rows << NewEntryRow(entry);
    }
    NoDelList->addTopLevelItems(rows);
}
