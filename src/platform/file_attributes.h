#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include "platform/file_stamp.h"

namespace platform {

// What the file information dialog shows of one file, read at the moment of asking.
struct FileAttributes {
    std::string Name;       // the last part of the path
    std::string ShortName;  // the MS-DOS (8.3) name; this system has none, so it is Name
    bool IsFolder = false;
    std::int64_t Size = 0;
    FileTime Modified;
    FileTime Accessed;
    std::optional<FileTime> Created;  // only where the file system keeps a birth time
    bool ReadOnly = false;            // the user may not write the file
    bool Hidden = false;              // the name starts with "."
    bool Archive = false;             // no such attribute here: never set
    bool System = false;              // no such attribute here: never set
    bool Compressed = false;          // the file system stores the file compressed
};

struct FileAttributesResult {
    std::error_code Error;
    FileAttributes Attributes;  // filled when Error is clear
};

// Reads the attributes of the file at `path`, without following a final symbolic link.
FileAttributesResult ReadFileAttributes(const std::string& path);

}  // namespace platform
