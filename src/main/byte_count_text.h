#pragma once

#include <QString>
#include <cstdint>

// A count of bytes as the window shows it in sentences: digits grouped by threes ("1,234,567").
QString ByteCountText(std::int64_t bytes);
