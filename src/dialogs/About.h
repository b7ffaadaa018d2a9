#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The About box: product name, version, rights notice and support page, filled by its caller.
class TAboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Label1;
    QLabel* Version;
    QLabel* DebugInfo;
    QLabel* Label2;
    QLabel* Copyright;
    QLabel* OtherInfo;
    QPushButton* OKButton;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

extern TAboutBox* AboutBox;
