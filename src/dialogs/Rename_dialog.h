#pragma once

#include <QDialog>
#include <QLineEdit>

class QFrame;
class QLabel;
class QPushButton;

// An edit box that selects its whole text whenever the focus enters it.
class SelectAllLineEdit : public QLineEdit {
    Q_OBJECT

  public:
    using QLineEdit::QLineEdit;

  protected:
    void focusInEvent(QFocusEvent* event) override;
};

// The rename dialog: asks for a new name for one file. The caller sets NoticeLabel and NewName
// before every showing and reads NewName back on OK; the dialog neither checks nor applies it.
class TRenameDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TRenameDialog(QWidget* parent = nullptr);

    QFrame* Bevel1;
    QLabel* NoticeLabel;
    QLabel* Label1;
    SelectAllLineEdit* NewName;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // Moves the input focus to NewName; runs whenever the dialog becomes the active window.
    void FormActivate();

  protected:
    void changeEvent(QEvent* event) override;
};

extern TRenameDialog* RenameDialog;
