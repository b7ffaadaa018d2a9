#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/folder_listing.h"

namespace platform {

// A file's modification time in local time, as the result list shows it.
struct LocalDateTime {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

// What the program remembers of a file to recognise it again later.
struct FileStamp {
    FileIdentity Identity;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;  // last write, nanoseconds since the epoch

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// Reads the stamp of the file at `path` without following a final symbolic link; nullopt when the
// file is gone or cannot be looked at.
std::optional<FileStamp> ReadFileStamp(const std::string& path);

// A time from a stamp in the machine's local time zone.
LocalDateTime LocalTimeOf(std::int64_t ns);

}  // namespace platform
