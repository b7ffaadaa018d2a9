#pragma once

#include <QWidget>
#include <functional>

// An owner-drawn status bar panel: its owner paints it.
class ProgressPanel : public QWidget {
    Q_OBJECT

  public:
    using Drawer = std::function<void(QPainter&, const QRect&)>;

    ProgressPanel(int width, Drawer drawer, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Drawer m_drawer;
};
