#include "search/Search_func.h"

#include <algorithm>
#include <cstdio>

namespace search {

using platform::kSeparator;

std::string_view PhaseText(std::int32_t phase) {
    switch (phase) {
        case kPhaseWalk:
            return "名前確認中";
        case kPhaseContent:
            return "内容確認中";
        case kPhaseName:
            return "名前比較中";
        default:
            return "";
    }
}

std::string FolderBase(const std::string& folder, const platform::CodePage& codePage) {
    return codePage.EndsWithChar(folder, kSeparator) ? folder : folder + kSeparator;
}

std::vector<std::string> PrepareTargets(const std::vector<std::string>& rows) {
    std::vector<std::string> targets = rows;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        // Only a row that repeats an earlier one is dropped here. Whether a folder lies inside
        // another is not a question of text ("a/../b", symbolic links, bind mounts): the walk
        // knows folders by their identity and walks each one once.
        if (std::find(targets.begin(), targets.begin() + static_cast<std::ptrdiff_t>(i),
                      targets[i]) != targets.begin() + static_cast<std::ptrdiff_t>(i)) {
            targets[i].clear();
        }
    }
    return targets;
}

std::string_view NameKeyOf(std::string_view path, const platform::CodePage& codePage) {
    const std::size_t dot = codePage.FindLast(path, '.');
    if (dot == std::string_view::npos) {
        return path;
    }
    const std::size_t separator = codePage.FindLast(path, kSeparator);
    if (separator != std::string_view::npos && separator > dot) {
        return path;  // The dot belongs to a folder name.
    }
    return path.substr(0, dot);
}

std::string_view NamePartOf(std::string_view key, const platform::CodePage& codePage) {
    const std::size_t separator = codePage.FindLast(key, kSeparator);
    return separator == std::string_view::npos ? std::string_view() : key.substr(separator);
}

std::int32_t BlockSignature(const unsigned char* block) {
    static constexpr int kWeights[16] = {7, 13, 16, 1, 4, 11, 12, 6, 3, 10, 2, 14, 15, 5, 9, 8};
    std::uint32_t sum = 0;
    for (int i = 0; i < 256; ++i) {
        sum += static_cast<std::uint32_t>(block[i]) * kWeights[i % 16];
    }
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(sum & 0xFFFF));
}

int SizeOrder(const FileEntry& a, const FileEntry& b) {
    if (a.Size != b.Size) {
        return b.Size > a.Size ? 1 : -1;
    }
    if (a.Group != b.Group) {
        return b.Group > a.Group ? 1 : -1;
    }
    return 0;
}

int NameOrder(const FileEntry& a, const FileEntry& b, int mode,
              const platform::CodePage& codePage) {
    if (a.IsSentinel() || b.IsSentinel()) {
        return a.IsSentinel() == b.IsSentinel() ? 0 : (a.IsSentinel() ? 1 : -1);
    }
    if (a.Name.empty() || b.Name.empty()) {
        return a.Name.empty() == b.Name.empty() ? 0 : (a.Name.empty() ? 1 : -1);
    }
    const std::string_view keyA = mode == kCompareStem ? a.NameKey() : a.Name;
    const std::string_view keyB = mode == kCompareStem ? b.NameKey() : b.Name;
    return codePage.CompareNames(NamePartOf(keyA, codePage), NamePartOf(keyB, codePage));
}

std::string FormatResultDate(const platform::LocalDateTime& time) {
    char text[96];
    std::snprintf(text, sizeof text, "%d/%d/%d %d:%d:%d", time.Year, time.Month, time.Day,
                  time.Hour, time.Minute, time.Second);
    return text;
}

}  // namespace search
