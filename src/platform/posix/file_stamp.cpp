#include "platform/file_stamp.h"

#include <sys/stat.h>

#include <ctime>

namespace platform {

std::optional<FileStamp> ReadFileStamp(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    struct tm local {};
    const time_t seconds = st.st_mtim.tv_sec;
    if (localtime_r(&seconds, &local) == nullptr) {
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.Identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    stamp.Size = st.st_size;
    stamp.ModifiedNs =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    stamp.Modified = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                      local.tm_hour,        local.tm_min,     local.tm_sec};
    return stamp;
}

}  // namespace platform
