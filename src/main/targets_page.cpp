#include "main/targets_page.h"

#include <QDir>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "dialogs/drive_combo_box.h"
#include "dialogs/folder_list_box.h"
#include "dialogs/path_text.h"
#include "dialogs/placed_label.h"
#include "main/report_list.h"
#include "main/window_parts.h"

TargetsPage::TargetsPage(QWidget* parent) : QWidget(parent) {
    Panel11 = NewPanel(this);
    Panel11->setObjectName(QStringLiteral("Panel11"));
    Panel11->setGeometry(0, 0, 701, 25);
    DirLabel = FixedLabel(Panel11, QString(), 10, 5, 691, 15);
    DirLabel->setObjectName(QStringLiteral("DirLabel"));

    DirectoryList = new FolderListBox(this);
    DirectoryList->setObjectName(QStringLiteral("DirectoryList"));
    DirectoryList->setGeometry(16, 24, 233, 233);
    DriveCombo = new DriveComboBox(this);
    DriveCombo->setObjectName(QStringLiteral("DriveCombo"));
    DriveCombo->setGeometry(16, 272, 233, 18);
    AddButton = NewButton(this, QStringLiteral("追加する>>"), 256, 48, 89, 33);
    AddButton->setObjectName(QStringLiteral("AddButton"));
    DelButton = NewButton(this, QStringLiteral("<<削除する"), 256, 96, 89, 33);
    DelButton->setObjectName(QStringLiteral("DelButton"));
    SearchList = NewReportList(this, {{QStringLiteral("検索対象一覧"), 240}});
    SearchList->setObjectName(QStringLiteral("SearchList"));
    SearchList->setGeometry(356, 24, 325, 273);
    SearchList->setSortingEnabled(true);
    SearchList->sortByColumn(0, Qt::AscendingOrder);
    SearchList->header()->setSectionsClickable(false);
    SearchList->header()->setSortIndicatorShown(false);
    SearchList->setEditTriggers(QAbstractItemView::SelectedClicked |
                                QAbstractItemView::EditKeyPressed);

    setTabOrder(SearchList, AddButton);
    setTabOrder(AddButton, DelButton);
    setTabOrder(DelButton, DirectoryList);
    setTabOrder(DirectoryList, DriveCombo);

    DirectoryList->SetFolder(PathBytes(QDir::currentPath()));
    DriveCombo->ShowDriveOf(DirectoryList->Folder());

    connect(AddButton, &QPushButton::clicked, this, &TargetsPage::AddBrowsedFolder);
    connect(DelButton, &QPushButton::clicked, this, &TargetsPage::RemoveSelected);
    connect(DirectoryList, &FolderListBox::FolderChanged, this, &TargetsPage::ShowDirLabel);
    connect(DriveCombo, &DriveComboBox::DriveChosen, this,
            [this](const std::string& mountPoint) { DirectoryList->SetFolder(mountPoint); });
}

std::vector<std::string> TargetsPage::Targets() const {
    std::vector<std::string> folders;
    folders.reserve(static_cast<std::size_t>(SearchList->topLevelItemCount()));
    for (int i = 0; i < SearchList->topLevelItemCount(); ++i) {
        folders.push_back(TargetOfRow(SearchList->topLevelItem(i)));
    }
    return folders;
}

std::string TargetsPage::TargetOfRow(const QTreeWidgetItem* row) {
    // A row keeps the folder's bytes, which a name that is not valid UTF-8 needs; a row edited in
    // place is taken as typed.
    const QByteArray bytes = row->data(0, Qt::UserRole).toByteArray();
    if (row->text(0) == PathText(bytes.toStdString())) {
        return bytes.toStdString();
    }
    return PathBytes(row->text(0));
}

void TargetsPage::AddFolder(const std::string& folder) {
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
    row->setText(0, PathText(folder));
    row->setData(0, Qt::UserRole, bytes);
    row->setFlags(row->flags() | Qt::ItemIsEditable);
    SearchList->addTopLevelItem(row);
}

void TargetsPage::AddBrowsedFolder() {
    AddFolder(DirectoryList->Folder());
}

void TargetsPage::RemoveSelected() {
    const QList<QTreeWidgetItem*> selected = SearchList->selectedItems();
    if (!selected.isEmpty()) {
        delete selected.front();
    }
}

void TargetsPage::FitTo(const QSize& tabs) {
    DriveCombo->move(DriveCombo->x(), tabs.height() - 70);
    DirectoryList->resize(DirectoryList->width(), tabs.height() - 110);
    SearchList->resize(tabs.width() - 375, tabs.height() - 80);
}

void TargetsPage::resizeEvent(QResizeEvent* event) {
    Panel11->resize(width(), Panel11->height());
    DirLabel->resize(Panel11->width() - DirLabel->x(), DirLabel->height());
    ShowDirLabel();
    QWidget::resizeEvent(event);
}

void TargetsPage::ShowDirLabel() {
    // The label shortens a long path; adding takes the folder's full path all the same.
    const QString folder = PathText(DirectoryList->Folder());
    DirLabel->setText(DirLabel->fontMetrics().elidedText(folder, Qt::ElideMiddle,
                                                         std::max(DirLabel->width(), 1)));
    DirLabel->setToolTip(folder);
}
