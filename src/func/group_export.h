#pragma once

#include <string>
#include <system_error>
#include <vector>

#include "search/result_table.h"

namespace func {

// How the results page saves its groups.
enum class ExportFormat {
    Csv,  // a header and one line per file: グループ,パス,サイズ,日付 (UTF-8, byte-order mark)
    JsonLines,  // one line per group, as dopplet-find --json writes it
};

// The present members of `groups`, in order, as the file's bytes. In the CSV file each group is
// numbered from 1 in list order, the path and the date are quoted, lines end in CR LF, and bytes of
// a path that are no UTF-8 become U+FFFD (the JSON lines keep every byte). A group without a
// present member is left out.
std::string FormatGroupExport(const std::vector<const search::ResultGroup*>& groups,
                              ExportFormat format);

// Writes the export to `path`, replacing a file that is there; on failure an old file stays as it
// was.
std::error_code SaveGroupExport(const std::string& path,
                                const std::vector<const search::ResultGroup*>& groups,
                                ExportFormat format);

}  // namespace func
