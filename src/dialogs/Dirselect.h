#pragma once

#include <QDialog>

// The folder selection dialog.
class TDirSelectDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TDirSelectDialog(QWidget* parent = nullptr);
};

extern TDirSelectDialog* DirSelectDialog;
