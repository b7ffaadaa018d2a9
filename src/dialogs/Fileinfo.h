#pragma once

#include <QDialog>

// The file information dialog.
class TFileInfoDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TFileInfoDialog(QWidget* parent = nullptr);
};

extern TFileInfoDialog* FileInfoDialog;
