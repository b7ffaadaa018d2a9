#include "cli/group_output.h"

#include <ctime>

#include "platform/codepage.h"

namespace cli {

void GroupTally::Count(const search::ResultGroup& group) {
    bool first = true;
    for (const search::ResultMember& member : group.Members) {
        if (member.IsFree()) {
            continue;
        }
        if (first) {
            ++Groups;
        } else {
            SurplusBytes += static_cast<long long>(member.Stamp.Size);
        }
        first = false;
        ++Files;
    }
}

std::string SummaryLine(const GroupTally& tally, long long skipped) {
    return std::to_string(tally.Groups) + " groups, " + std::to_string(tally.Files) + " files, " +
           std::to_string(tally.SurplusBytes) + " bytes in surplus copies, " +
           std::to_string(skipped) + " skipped";
}

namespace {

void WritePath(std::FILE* out, const search::ResultMember& member, char end) {
    // The path's bytes as the file system gave them, valid UTF-8 or not.
    std::fwrite(member.Folder.data(), 1, member.Folder.size(), out);
    std::fwrite(member.Name.data(), 1, member.Name.size(), out);
    std::fputc(end, out);
}

}  // namespace

std::string SkippedLine(const search::SkippedPath& skipped) {
    std::string line;
    switch (skipped.Reason) {
        case search::SkipReason::FolderUnreadable:
            line = "cannot list folder ";
            break;
        case search::SkipReason::EntryUnreadable:
            line = "cannot look at ";
            break;
        case search::SkipReason::FileUnreadable:
            line = "cannot read ";
            break;
        case search::SkipReason::FileChanged:
            line = "left out, changed while being compared: ";
            break;
    }
    line += skipped.Path;
    if (skipped.Error) {
        line += ": " + skipped.Error.message();
    }
    return line;
}

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
                        IsoTime(member.Stamp.Modified) + "\"}";
            }
            line += "]}\n";
            std::fwrite(line.data(), 1, line.size(), out);
            break;
        }
    }
}

}  // namespace cli
