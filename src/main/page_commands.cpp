// The window's commands on the search targets page and the must-not-delete page; the pages do
// the work.

#include <QTabWidget>

#include "main/main_form.h"
#include "main/no_delete_page.h"
#include "main/targets_page.h"

void TMainForm::AddButtonClick() {
    m_targetsPage->AddBrowsedFolder();
}

void TMainForm::DelButtonClick() {
    m_targetsPage->RemoveSelected();
}

void TMainForm::AddTargets(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        m_targetsPage->AddFolder(folder);
    }
    PageControl->setCurrentWidget(m_targetsPage);
}

void TMainForm::AddTextKeyPress(char key) {
    if (key == '\r') {
        m_noDeletePage->AddTyped();
    }
}

void TMainForm::NoDelListEdited(QTreeWidgetItem* row) {
    m_noDeletePage->Edited(row);
}

void TMainForm::NoDelListExit() {
    TidyNoDelList();
}

void TMainForm::TidyNoDelList() {
    m_noDeletePage->Tidy();
}

std::vector<std::string> TMainForm::NoDelEntries() const {
    return m_noDeletePage->Entries();
}

void TMainForm::SetNoDelEntries(const std::vector<std::string>& entries) {
    m_noDeletePage->SetEntries(entries);
}
