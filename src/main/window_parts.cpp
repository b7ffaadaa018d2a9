#include "main/window_parts.h"

#include <QFrame>
#include <QPushButton>
#include <QVBoxLayout>

QVBoxLayout* NewColumn(QWidget* parent) {
    auto* column = new QVBoxLayout(parent);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    return column;
}

QFrame* NewPanel(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

QFrame* NamedPanel(QWidget* parent, const QString& name) {
    QFrame* panel = NewPanel(parent);
    panel->setObjectName(name);
    return panel;
}

QPushButton* NewButton(QWidget* parent, const QString& caption, int left, int top, int width,
                       int height) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(left, top, width, height);
    button->setAutoDefault(false);
    return button;
}
