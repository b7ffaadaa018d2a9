#include "dialogs/program_icon.h"

#include <QPainter>

QPixmap ProgramPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    painter.setPen(QPen(Qt::black, unit * 0.6));
    painter.setBrush(QColor(200, 220, 255));
    painter.drawRect(QRectF(unit * 1, unit * 1, unit * 9, unit * 11));
    painter.setBrush(QColor(255, 240, 160));
    painter.drawRect(QRectF(unit * 6, unit * 4, unit * 9, unit * 11));
    painter.setPen(QPen(QColor(0, 0, 200), unit * 0.8));
    for (int line = 0; line < 3; ++line) {
        const qreal y = unit * (7 + 2.5 * line);
        painter.drawLine(QPointF(unit * 8, y), QPointF(unit * 13, y));
    }
    return pixmap;
}
