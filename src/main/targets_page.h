#pragma once

#include <QWidget>
#include <string>
#include <vector>

class DriveComboBox;
class FolderListBox;
class QFrame;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The search targets page: a folder list to browse with, the drive of the folder shown, and the
// list of the folders that the next search looks through. A row that the user edits in place is
// taken as typed.
class TargetsPage : public QWidget {
    Q_OBJECT

  public:
    // The folder list starts in the process's current folder.
    explicit TargetsPage(QWidget* parent);

    // The target folders in list order, as bytes.
    std::vector<std::string> Targets() const;
    // Adds the folder (bytes) to the targets unless it is there already.
    void AddFolder(const std::string& folder);
    // Adds the folder that the folder list shows.
    void AddBrowsedFolder();
    // Takes the selected folder off the targets; no file is touched.
    void RemoveSelected();
    // Follows the size of the tab control that shows the page.
    void FitTo(const QSize& tabs);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ShowDirLabel();
    // The folder behind a row, as bytes.
    static std::string TargetOfRow(const QTreeWidgetItem* row);

    QFrame* Panel11;
    QLabel* DirLabel;
    FolderListBox* DirectoryList;
    DriveComboBox* DriveCombo;
    QPushButton* AddButton;
    QPushButton* DelButton;
    QTreeWidget* SearchList;
};
