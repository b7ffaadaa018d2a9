#pragma once

#include <QDialog>
#include <string>

class DriveComboBox;
class FolderListBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

// The folder selection dialog: a drive list, a folder tree list and a file list linked to a
// label. The open folder stays from one showing to the next, whatever the result was. The caller
// sets the title (SetDialogTitle), shows the dialog and reads SelectedFolder on OK.
class TDirSelectDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TDirSelectDialog(QWidget* parent = nullptr);

    QFrame* Bevel1;
    QLabel* DirectoryLabel;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    class DriveComboBox* DriveComboBox;
    FolderListBox* DirectoryListBox;
    QListWidget* FileListBox;

    void SetDialogTitle(const QString& title);

    // The folder that DirectoryListBox has open, as the file system's bytes, without a final "/"
    // except at the root; empty when no folder is open. A line merely highlighted does not count.
    std::string SelectedFolder() const;

    // Lists the open folder's subfolders and files again. An open folder that has vanished since
    // gives way to its nearest existing parent.
    void ListUpDate();

    // Shows the open folder in the label (shortened, the full path as its tooltip), its files in
    // FileListBox and its file system in DriveComboBox.
    void DirectoryListBoxChange();

    // `path` shortened to `width` pixels of `metrics` by putting "..." in place of leading folder
    // names: "/home/user/a/b" may become "/.../a/b".
    static QString ShortenedPath(const QString& path, const QFontMetrics& metrics, int width);

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OpenDrive(const std::string& mountPoint);
    void FillFileList();
};

extern TDirSelectDialog* DirSelectDialog;
