#pragma once

#include <sys/stat.h>

#include "platform/file_stamp.h"

namespace platform {

// The system's times and status in the program's terms.
inline FileTime TimeOf(const struct timespec& time) {
    return {time.tv_sec, static_cast<std::int32_t>(time.tv_nsec)};
}

inline FileTime TimeOf(const struct statx_timestamp& time) {
    return {time.tv_sec, static_cast<std::int32_t>(time.tv_nsec)};
}

inline FileStamp StampOf(const struct stat& st) {
    return {
        .Identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)},
        .Size = st.st_size,
        .Modified = TimeOf(st.st_mtim),
        .Changed = TimeOf(st.st_ctim)};
}

}  // namespace platform
