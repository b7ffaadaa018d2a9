#include "search/group_json.h"

#include <cstdio>
#include <ctime>

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
    const auto time = static_cast<std::time_t>(fileTime.Seconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%09dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
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
