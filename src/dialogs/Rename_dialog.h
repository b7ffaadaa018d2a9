#pragma once

#include <QDialog>

// The rename dialog.
class TRenameDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TRenameDialog(QWidget* parent = nullptr);
};

extern TRenameDialog* RenameDialog;
