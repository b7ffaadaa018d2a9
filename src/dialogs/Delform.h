#pragma once

#include <QWidget>

// The deletion report window.
class TDelListForm : public QWidget {
    Q_OBJECT

  public:
    explicit TDelListForm(QWidget* parent = nullptr);
};

extern TDelListForm* DelListForm;
