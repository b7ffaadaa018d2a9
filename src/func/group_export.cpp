#include "func/group_export.h"

#include <algorithm>
#include <string_view>

#include "platform/codepage.h"
#include "platform/file_system.h"
#include "search/group_json.h"

namespace func {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// `text` as one quoted CSV field of valid UTF-8.
std::string CsvField(std::string_view text) {
    std::string field = "\"";
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t codePoint = 0;
        const std::size_t length = platform::DecodeUtf8(text, pos, codePoint);
        if (length == 0) {
            field += kReplacement;
            ++pos;
            continue;
        }
        if (text[pos] == '"') {
            field += '"';
        }
        field.append(text.substr(pos, length));
        pos += length;
    }
    return field + '"';
}

bool HasPresentMember(const search::ResultGroup& group) {
    return std::any_of(group.Members.begin(), group.Members.end(),
                       [](const search::ResultMember& member) { return !member.IsFree(); });
}

}  // namespace

std::string FormatGroupExport(const std::vector<const search::ResultGroup*>& groups,
                              ExportFormat format) {
    std::string text;
    if (format == ExportFormat::Csv) {
        text = std::string(kByteOrderMark) + "グループ,パス,サイズ,日付\r\n";
    }
    int number = 0;
    for (const search::ResultGroup* group : groups) {
        if (!HasPresentMember(*group)) {
            continue;
        }
        ++number;
        if (format == ExportFormat::JsonLines) {
            text += search::GroupJsonLine(*group);
            continue;
        }
        for (const search::ResultMember& member : group->Members) {
            if (member.IsFree()) {
                continue;
            }
            text += std::to_string(number) + ',' + CsvField(member.FullPath()) + ',' +
                    std::to_string(member.Stamp.Size) + ',' + CsvField(member.Date) + "\r\n";
        }
    }
    return text;
}

std::error_code SaveGroupExport(const std::string& path,
                                const std::vector<const search::ResultGroup*>& groups,
                                ExportFormat format) {
    return platform::WriteFileAtomically(path, FormatGroupExport(groups, format));
}

}  // namespace func
