#pragma once

#include <QFont>
#include <QString>

// The font that a window's layout names, 12 pixels high; fontconfig picks a face with Japanese
// glyphs when the named one is not installed.
inline QFont WindowFont(const QString& family) {
    QFont font(family);
    font.setPixelSize(12);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
