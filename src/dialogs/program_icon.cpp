#include "dialogs/program_icon.h"

QPixmap ProgramPixmap(int size) {
    return QPixmap(QStringLiteral(":/dopplet.png"))
        .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
