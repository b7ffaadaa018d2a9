#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <algorithm>

// The font that a window's layout names, 12 pixels high; fontconfig picks a face with Japanese
// glyphs when the named one is not installed.
inline QFont WindowFont(const QString& family) {
    QFont font(family);
    font.setPixelSize(12);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// The height that one line of text in `font` needs: descenders and underscores, and the taller
// Japanese glyphs that a fallback font draws, included.
inline int TextLineHeight(const QFont& font) {
    const QFontMetrics metrics(font);
    return std::max(metrics.height(), metrics.boundingRect(QStringLiteral("Ágjy_漢字ﾊﾞ")).height());
}
