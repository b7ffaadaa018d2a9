#pragma once

#include <QLabel>
#include <QString>
#include <algorithm>

#include "dialogs/window_font.h"

// A label at a fixed place, sized to its text.
inline QLabel* AutoLabel(QWidget* parent, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

// A plain-text label at a fixed place and width, at least as tall as a line of its font, so that
// no descender is cut.
inline QLabel* FixedLabel(QWidget* parent, const QString& text, int left, int top, int width,
                          int height) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(left, top, width, std::max(height, TextLineHeight(label->font())));
    return label;
}
