#include "platform/file_stamp.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "platform/posix/file_stamp_posix.h"
#include "platform/posix/path_at.h"

namespace platform {

std::optional<FileStamp> ReadFileStamp(const std::string& path) {
    const PathAt at(path);
    struct stat st {};
    if (at.Error() != 0 || fstatat(at.Folder(), at.Name(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return StampOf(st);
}

LocalDateTime LocalTimeOf(const FileTime& fileTime) {
    const time_t time = static_cast<time_t>(fileTime.Seconds);
    struct tm local {};
    if (localtime_r(&time, &local) == nullptr) {
        return {};
    }
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace platform
