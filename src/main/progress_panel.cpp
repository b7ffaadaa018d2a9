#include "main/progress_panel.h"

#include <QPainter>

ProgressPanel::ProgressPanel(int width, Drawer drawer, QWidget* parent)
    : QWidget(parent), m_drawer(std::move(drawer)) {
    setFixedWidth(width);
}

void ProgressPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_drawer(painter, rect());
}
