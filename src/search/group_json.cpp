#include "search/group_json.h"

#include <chrono>
#include <cstdio>

#include "platform/codepage.h"

namespace search {

std::string JsonString(std::string_view bytes) {
    std::string json = "\"";
    char escape[8];
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[pos]);
        char32_t codePoint = 0;
        const std::size_t length = platform::DecodeUtf8(bytes, pos, codePoint);
        if (length == 0) {
            std::snprintf(escape, sizeof escape, "\\udc%02x", byte);
            json += escape;
        } else if (byte == '"' || byte == '\\') {
            json += '\\';
            json += static_cast<char>(byte);
        } else if (byte < 0x20) {
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            json += escape;
        } else {
            json.append(bytes.substr(pos, length));
        }
        pos += length == 0 ? 1 : length;
    }
    return json + "\"";
}

std::string IsoTime(const platform::FileTime& fileTime) {
    // The calendar of the C++ library, the same on every system and for every year.
    using namespace std::chrono;
    const sys_seconds time{seconds(fileTime.Seconds)};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%09dZ", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                  int(clock.minutes().count()), int(clock.seconds().count()),
                  static_cast<int>(fileTime.Nanoseconds));
    return text;
}

std::string GroupJsonLine(const ResultGroup& group) {
    std::string line = "{\"files\":[";
    bool first = true;
    for (const ResultMember& member : group.Members) {
        if (member.IsFree()) {
            continue;
        }
        line += first ? "" : ",";
        first = false;
        line += "{\"path\":" + JsonString(member.FullPath()) +
                ",\"size\":" + std::to_string(member.Stamp.Size) + ",\"mtime\":\"" +
                IsoTime(member.Stamp.Modified) + "\"}";
    }
    return line + "]}\n";
}

}  // namespace search
