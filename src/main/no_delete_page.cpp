#include "main/no_delete_page.h"

#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/entry_list_editor.h"
#include "func/no_del_list.h"
#include "main/report_list.h"
#include "main/window_parts.h"
#include "platform/codepage.h"

NoDeletePage::NoDeletePage(QWidget* parent) : QWidget(parent) {
    auto* page = NewColumn(this);
    AddPanel = NewPanel(this);
    AddPanel->setObjectName(QStringLiteral("AddPanel"));
    AddPanel->setFixedHeight(41);
    Label1 = new QLabel(QStringLiteral("追加する"), AddPanel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 16);
    Label1->adjustSize();
    AddText = new QLineEdit(AddPanel);
    AddText->setObjectName(QStringLiteral("AddText"));
    AddText->setGeometry(64, 8, 625, 20);
    NoDelList = NewReportList(this, {{QStringLiteral("削除しちゃ駄目リスト"), 250}});
    NoDelList->setObjectName(QStringLiteral("NoDelList"));
    NoDelList->setSortingEnabled(true);
    NoDelList->sortByColumn(0, Qt::AscendingOrder);
    NoDelList->header()->setSectionsClickable(false);
    NoDelList->header()->setSortIndicatorShown(false);
    page->addWidget(AddPanel);
    page->addWidget(NoDelList, 1);

    m_editor = new EntryListEditor(
        *AddText, *NoDelList,
        [](std::string entry) { return platform::SystemCodePage().UpperAscii(entry); }, this);
    AddPanel->installEventFilter(this);
}

void NoDeletePage::AddTyped() {
    m_editor->Add();
}

void NoDeletePage::Edited(QTreeWidgetItem* row) {
    m_editor->Edited(row);
}

void NoDeletePage::Tidy() {
    m_editor->Tidy();
}

std::vector<std::string> NoDeletePage::Entries() const {
    return m_editor->Entries();
}

void NoDeletePage::SetEntries(const std::vector<std::string>& entries) {
    m_editor->SetEntries(entries);
}

std::optional<std::string> NoDeletePage::ProtectingEntry(const std::string& path) const {
    const platform::CodePage& codePage = platform::SystemCodePage();
    const std::vector<std::string> entries = Entries();
    const std::string* entry = func::ProtectingEntry(codePage.UpperAscii(path), entries, codePage);
    if (entry == nullptr) {
        return std::nullopt;
    }
    return *entry;
}

bool NoDeletePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == AddPanel && event->type() == QEvent::Resize) {
        AddText->resize(AddPanel->width() - 80, AddText->height());
    }
    return QWidget::eventFilter(watched, event);
}
