#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/file_stamp.h"

namespace platform {

// A FILETIME or a LARGE_INTEGER of the same 100-nanosecond steps since 1601, in the program's
// terms.
FileTime TimeOf(const FILETIME& time);
FileTime TimeOf(const LARGE_INTEGER& time);

// The stamp of the file or folder open in `handle`, found at `path`; nullopt when the system
// does not say.
std::optional<FileStamp> StampOfHandle(HANDLE handle, const std::string& path);

}  // namespace platform
