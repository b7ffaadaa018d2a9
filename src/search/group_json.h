#pragma once

#include <string>
#include <string_view>

#include "platform/file_stamp.h"
#include "search/result_table.h"

namespace search {

// `bytes` as a JSON string, quotes included. Valid UTF-8 stays as it is (control characters,
// quotes and backslashes escaped); every other byte 0xXY is written as the escape \udcXY, as
// Python's "surrogateescape" error handler reads and writes it, so that no path is lost.
std::string JsonString(std::string_view bytes);

// A file's time as UTC in ISO 8601 with nanoseconds.
std::string IsoTime(const platform::FileTime& time);

// The present members of `group` as one JSON line, line end included:
// {"files":[{"path":...,"size":...,"mtime":...},...]}
std::string GroupJsonLine(const ResultGroup& group);

}  // namespace search
