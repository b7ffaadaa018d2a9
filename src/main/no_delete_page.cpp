// The must-not-delete page: the entries that the bulk delete never deletes, one row each.

#include <QFile>
#include <QLineEdit>
#include <QTreeWidget>

#include "dialogs/entry_list_editor.h"
#include "main/main_form.h"
#include "platform/codepage.h"

void TMainForm::SetUpNoDeletePage() {
    // Entries are held upper-cased, whether typed, edited or loaded.
    m_noDelEditor = new EntryListEditor(
        *AddText, *NoDelList,
        [](std::string entry) { return platform::SystemCodePage().UpperAscii(entry); }, this);
}

void TMainForm::AddTextKeyPress(char key) {
    if (key == '\r') {
        m_noDelEditor->Add();
    }
}

void TMainForm::NoDelListEdited(QTreeWidgetItem* row) {
    m_noDelEditor->Edited(row);
}

void TMainForm::NoDelListExit() {
    TidyNoDelList();
}

void TMainForm::TidyNoDelList() {
    m_noDelEditor->Tidy();
}

std::vector<std::string> TMainForm::NoDelEntries() const {
    return m_noDelEditor->Entries();
}

void TMainForm::SetNoDelEntries(const std::vector<std::string>& entries) {
    m_noDelEditor->SetEntries(entries);
}
