#include "main/byte_count_text.h"

#include <QLocale>

QString ByteCountText(std::int64_t bytes) {
    static const QLocale numbers(QLocale::Japanese, QLocale::Japan);
    return numbers.toString(static_cast<qlonglong>(bytes));
}
