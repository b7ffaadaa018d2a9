#pragma once

#include <QDialog>
#include <string>

#include "platform/file_attributes.h"

class QCheckBox;
class QDateTime;
class QFrame;
class QLabel;
class QPushButton;

// The file information dialog: the properties of one file as the file system reports them when
// the dialog is shown. The caller sets FilePath and shows the dialog; nothing is read back, and
// nothing in the dialog changes the file (the check boxes are for show).
class TFileInfoDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TFileInfoDialog(QWidget* parent = nullptr);

    // The full path of the file to show, as the file system's bytes.
    std::string FilePath;

    QFrame* Bevel1;
    QLabel* Label1;
    QLabel* FileName;
    QLabel* Label2;
    QLabel* Directory;
    QLabel* Label3;
    QLabel* FileSize;
    QFrame* Bevel2;
    QLabel* Label7;
    QLabel* ShortName;
    QLabel* Label4;
    QLabel* CreateDate;
    QLabel* Label5;
    QLabel* UpdateDate;
    QFrame* Bevel3;
    QCheckBox* ReadOnlyCB;
    QCheckBox* HiddenCB;
    QCheckBox* ArchiveCB;
    QCheckBox* SystemCB;
    QCheckBox* CompressedCB;
    QLabel* Label6;
    QPushButton* OKBtn;

    // Fills the fields from the file at FilePath; when the file cannot be read, the fields keep
    // what they showed before. Runs each time the dialog is shown.
    void FormShow();

    // A point in time as the user's short date, a blank and the long time; the time is left out
    // at midnight sharp. Empty for a time that has no calendar date.
    static QString DateText(const platform::FileTime& time);

    // The folder part of a path: "/" for a file in the root, "/a/b" for "/a/b/c".
    static std::string FolderOf(const std::string& path);

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

extern TFileInfoDialog* FileInfoDialog;
