#include "cli/progress_line.h"

#include <cinttypes>
#include <cstdio>

namespace cli {

namespace {

std::string WithThousands(std::int64_t number) {
    std::string digits = std::to_string(number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

std::string Bytes(std::int64_t bytes) {
    const char* const units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 4) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
    return text;
}

}  // namespace

std::string ProgressLine(const std::string& phase, const search::ProgressCounters& progress) {
    return phase + "  " + WithThousands(progress.FilesSeen.load(std::memory_order_relaxed)) +
           " ファイル  " + Bytes(progress.BytesCompared.load(std::memory_order_relaxed)) + " 比較";
}

}  // namespace cli
