#include "func/no_del_list.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace func {

int CollateEntries(const std::string& a, const std::string& b) {
    return std::strcoll(a.c_str(), b.c_str());
}

bool IsBlankEntry(std::string_view entry) {
    return std::all_of(entry.begin(), entry.end(),
                       [](char ch) { return static_cast<unsigned char>(ch) <= 0x20; });
}

std::vector<std::string> EntryLines(std::string_view text) {
    std::vector<std::string> lines;
    for (;;) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return lines;
        }
        const bool crLf = text.compare(end, 2, "\r\n") == 0;
        text.remove_prefix(end + (crLf ? 2 : 1));
    }
}

void TidyNoDelList(std::vector<std::string>& entries, const EntryCollation& collation) {
    std::vector<std::string> lines;
    lines.reserve(entries.size());
    for (const std::string& entry : entries) {
        if (entry.find_first_of("\r\n") == std::string::npos) {
            lines.push_back(entry);
        } else {
            std::vector<std::string> split = EntryLines(entry);
            lines.insert(lines.end(), split.begin(), split.end());
        }
    }
    entries = std::move(lines);
    std::erase_if(entries, [](const std::string& entry) { return IsBlankEntry(entry); });
    // Texts that the collation ranks equal are ordered by their bytes, so that equal entries
    // always end up next to each other and the order does not depend on the starting order.
    std::sort(entries.begin(), entries.end(),
              [&collation](const std::string& a, const std::string& b) {
                  const int order = collation(a, b);
                  return order != 0 ? order < 0 : a < b;
              });
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
}

bool IsProtected(std::string_view upperPath, const std::vector<std::string>& entries,
                 const platform::CodePage& codePage) {
    return ProtectingEntry(upperPath, entries, codePage) != nullptr;
}

const std::string* ProtectingEntry(std::string_view upperPath,
                                   const std::vector<std::string>& entries,
                                   const platform::CodePage& codePage) {
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const std::string& entry) {
        return !IsBlankEntry(entry) &&
               upperPath.find(codePage.UpperAscii(entry)) != std::string_view::npos;
    });
    return found == entries.end() ? nullptr : &*found;
}

}  // namespace func
