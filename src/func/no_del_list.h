#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace func {

// Orders two entries: negative, zero or positive.
using EntryCollation = std::function<int(const std::string& a, const std::string& b)>;

// The system's locale-aware order (strcoll under LC_COLLATE), the order the list view keeps.
int CollateEntries(const std::string& a, const std::string& b);

// True when nothing is left of `entry` after removing the bytes 0x00 to 0x20 from both ends.
bool IsBlankEntry(std::string_view entry);

// The lines of `text`, which may end in LF, CR LF or CR: text pasted with line breaks becomes one
// entry per line. Blank lines are kept; the tidy drops them.
std::vector<std::string> EntryLines(std::string_view text);

// Splits every entry that holds a line break into its lines, sorts the must-not-delete entries by
// `collation` and removes blank entries and entries equal byte for byte to another. Blanks around
// a kept entry stay. Entries of any length stay whole.
void TidyNoDelList(std::vector<std::string>& entries,
                   const EntryCollation& collation = CollateEntries);

// True when the upper-cased full path `upperPath` contains the upper-cased text of one of the
// entries anywhere, as a contiguous run of bytes. Blank entries never protect anything.
bool IsProtected(std::string_view upperPath, const std::vector<std::string>& entries,
                 const platform::CodePage& codePage = platform::SystemCodePage());

// The first of `entries` that protects the upper-cased full path `upperPath`, as IsProtected
// tells; nullptr when none does.
const std::string* ProtectingEntry(std::string_view upperPath,
                                   const std::vector<std::string>& entries,
                                   const platform::CodePage& codePage = platform::SystemCodePage());

}  // namespace func
