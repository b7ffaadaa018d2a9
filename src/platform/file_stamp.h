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

// A point in time as a file system keeps it: seconds since the epoch (UTC) and the
// nanoseconds within that second. Covers every date a file may carry, years past 2262 too.
struct FileTime {
    std::int64_t Seconds = 0;
    std::int32_t Nanoseconds = 0;  // 0 to 999,999,999

    friend bool operator==(const FileTime&, const FileTime&) = default;
};

// What the program remembers of a file to recognise it again later.
struct FileStamp {
    FileIdentity Identity;
    std::int64_t Size = 0;
    FileTime Modified;  // last write of the contents
    FileTime Changed;   // last change of the contents or of the file's metadata (not settable)

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// Reads the stamp of the file at `path` without following a final symbolic link; nullopt when the
// file is gone or cannot be looked at.
std::optional<FileStamp> ReadFileStamp(const std::string& path);

// A time from a stamp in the machine's local time zone.
LocalDateTime LocalTimeOf(const FileTime& time);

}  // namespace platform
