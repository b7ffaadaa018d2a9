#include "cli/group_output.h"

#include <cinttypes>
#include <ctime>

namespace cli {

namespace {

// The length of the valid UTF-8 character at `pos`; 0 when none starts there.
std::size_t Utf8Length(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (pos + length > text.size() || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

void WritePath(std::FILE* out, const search::ResultMember& member, char end) {
    // The path's bytes as the file system gave them, valid UTF-8 or not.
    std::fwrite(member.Folder.data(), 1, member.Folder.size(), out);
    std::fwrite(member.Name.data(), 1, member.Name.size(), out);
    std::fputc(end, out);
}

}  // namespace

std::string JsonString(std::string_view bytes) {
    std::string json = "\"";
    char escape[8];
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[pos]);
        const std::size_t length = Utf8Length(bytes, pos);
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

std::string IsoTime(std::int64_t nanoseconds) {
    std::int64_t seconds = nanoseconds / 1000000000;
    std::int64_t fraction = nanoseconds % 1000000000;
    if (fraction < 0) {
        fraction += 1000000000;
        --seconds;
    }
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    // Only the worker thread writes groups: the shared result of gmtime is safe here.
    if (const std::tm* converted = std::gmtime(&time)) {
        utc = *converted;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%09" PRId64 "Z",
                  utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                  utc.tm_sec, fraction);
    return text;
}

void WriteGroup(std::FILE* out, const search::ResultGroup& group, OutputFormat format) {
    switch (format) {
        case OutputFormat::Lines:
        case OutputFormat::Null: {
            const char end = format == OutputFormat::Lines ? '\n' : '\0';
            for (const search::ResultMember& member : group.Members) {
                if (!member.IsFree()) {
                    WritePath(out, member, end);
                }
            }
            std::fputc(end, out);
            break;
        }
        case OutputFormat::Json: {
            std::string line = "{\"files\":[";
            bool first = true;
            for (const search::ResultMember& member : group.Members) {
                if (member.IsFree()) {
                    continue;
                }
                line += first ? "" : ",";
                first = false;
                line += "{\"path\":" + JsonString(member.FullPath()) +
                        ",\"size\":" + std::to_string(member.Stamp.Size) + ",\"mtime\":\"" +
                        IsoTime(member.Stamp.ModifiedNs) + "\"}";
            }
            line += "]}\n";
            std::fwrite(line.data(), 1, line.size(), out);
            break;
        }
    }
}

}  // namespace cli
