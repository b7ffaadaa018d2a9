#include "func/no_del_list.h"

#include <algorithm>
#include <cstring>

namespace func {

int CollateEntries(const std::string& a, const std::string& b) {
    return std::strcoll(a.c_str(), b.c_str());
}

bool IsBlankEntry(std::string_view entry) {
    return std::all_of(entry.begin(), entry.end(),
                       [](char ch) { return static_cast<unsigned char>(ch) <= 0x20; });
}

void TidyNoDelList(std::vector<std::string>& entries, const EntryCollation& collation) {
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
    return std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
        return !IsBlankEntry(entry) &&
               upperPath.find(codePage.UpperAscii(entry)) != std::string_view::npos;
    });
}

}  // namespace func
