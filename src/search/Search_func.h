#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"
#include "platform/file_stamp.h"
#include "search/compare_mode.h"
#include "search/file_table.h"

namespace search {

// Phase codes of a search, each with its status text (PhaseText).
enum Phase : std::int32_t {
    kPhaseEnded = 0,
    kPhaseWalk = 1,
    kPhaseContent = 3,
    kPhaseName = 4,
    kPhasePreFilter = 5,
};

// The status text of a phase: "名前確認中", "内容確認中", "名前比較中", or empty.
std::string_view PhaseText(std::int32_t phase);

// Turns the rows of the target list, in row order, into the targets of a search: a row that
// equals an earlier one becomes empty and is skipped. A folder inside an earlier target is still
// a target; the walk finds it walked already.
std::vector<std::string> PrepareTargets(const std::vector<std::string>& rows);

// `folder` followed by the separator, unless it ends with one already.
std::string FolderBase(const std::string& folder, const platform::CodePage& codePage);

// `path` without its extension: cut at the last "." that no separator follows.
std::string_view NameKeyOf(std::string_view path, const platform::CodePage& codePage);

// The part of `key` from its last separator on, the separator included; empty when there is none.
std::string_view NamePartOf(std::string_view key, const platform::CodePage& codePage);

// A 16-bit weighted sum of the first 256 bytes of a block, widened; 0 stands for "not computed".
std::int32_t BlockSignature(const unsigned char* block);

// Orders files by descending size, then by descending group; sentinels last.
int SizeOrder(const FileEntry& a, const FileEntry& b);

// Orders files by their name (without its extension in compare mode 1); sentinels and unnamed
// slots last.
int NameOrder(const FileEntry& a, const FileEntry& b, int mode, const platform::CodePage& codePage);

// "year/month/day hour:minute:second" without leading zeros.
std::string FormatResultDate(const platform::LocalDateTime& time);

}  // namespace search
