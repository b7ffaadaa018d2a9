#include "dialogs/path_text.h"

#include <QByteArray>

QString PathText(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string PathBytes(const QString& text) {
    return text.toStdString();
}
