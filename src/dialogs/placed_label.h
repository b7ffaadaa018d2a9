#pragma once

#include <QLabel>
#include <QString>

// A label at a fixed place, sized to its text.
inline QLabel* AutoLabel(QWidget* parent, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}
