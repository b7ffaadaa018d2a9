// The search targets page: browsing to a folder and keeping the target list.

#include <QFile>
#include <QLabel>
#include <QTreeWidget>

#include "dialogs/folder_list_box.h"
#include "main/main_form.h"
#include "main/report_list.h"

void TMainForm::ShowDirLabel() {
    // The label shortens a long path; adding takes the folder's full path all the same.
    const QString folder = QFile::decodeName(DirectoryList->Folder().c_str());
    DirLabel->setText(DirLabel->fontMetrics().elidedText(folder, Qt::ElideMiddle,
                                                         std::max(DirLabel->width(), 1)));
    DirLabel->setToolTip(folder);
}

std::string TMainForm::TargetOfRow(const QTreeWidgetItem* row) {
    // A row keeps the folder's bytes, which a name that is not valid UTF-8 needs; a row edited in
    // place is taken as typed.
    const QByteArray bytes = row->data(0, Qt::UserRole).toByteArray();
    if (row->text(0) == QFile::decodeName(bytes)) {
        return bytes.toStdString();
    }
    return QFile::encodeName(row->text(0)).toStdString();
}

void TMainForm::AddButtonClick() {
    AddTarget(DirectoryList->Folder());
}

void TMainForm::AddTargets(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        AddTarget(folder);
    }
    PageControl->setCurrentWidget(TabSheet2);
}

void TMainForm::AddTarget(const std::string& folder) {
    if (folder.empty()) {
        return;
    }
    for (int i = 0; i < SearchList->topLevelItemCount(); ++i) {
        if (TargetOfRow(SearchList->topLevelItem(i)) == folder) {
            return;
        }
    }
    const QByteArray bytes = QByteArray::fromStdString(folder);
    auto* row = new CollatedItem;
    row->setText(0, QFile::decodeName(bytes));
    row->setData(0, Qt::UserRole, bytes);
    row->setFlags(row->flags() | Qt::ItemIsEditable);
    SearchList->addTopLevelItem(row);
}

void TMainForm::DelButtonClick() {
    const QList<QTreeWidgetItem*> selected = SearchList->selectedItems();
    if (!selected.isEmpty()) {
        delete selected.front();
    }
}
