#pragma once

#include <cstdio>
#include <string>

#include "search/result_table.h"
#include "search/skipped_path.h"

namespace cli {

// How dopplet-find writes a group.
enum class OutputFormat {
    Lines,  // each path and a line end, then an empty line
    Null,   // each path and a NUL byte, then one more NUL byte
    Json,   // one JSON object per line: {"files":[{"path":...,"size":...,"mtime":...},...]}
};

// What --summary counts: the groups printed, their files, and the bytes that all files but the
// first of each group take.
struct GroupTally {
    long long Groups = 0;
    long long Files = 0;
    long long SurplusBytes = 0;

    void Count(const search::ResultGroup& group);
};

// The --summary line, without a line end.
std::string SummaryLine(const GroupTally& tally, long long skipped);

// Writes the present members of `group` to `out` in `format`.
void WriteGroup(std::FILE* out, const search::ResultGroup& group, OutputFormat format);

// A line that names a file or folder that the search could not look at, and why.
std::string SkippedLine(const search::SkippedPath& skipped);

}  // namespace cli
