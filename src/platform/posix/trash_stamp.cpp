#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "platform/posix/file_stamp_posix.h"
#include "platform/posix/trash_posix.h"

namespace platform {

namespace {

// A .trashinfo holds a header, a percent-encoded path (three bytes for each byte of a path of at
// most 4,096) and a date: anything longer is not one that MoveToTrash wrote.
constexpr std::size_t kMaxTrashInfoBytes = 64 * 1024;

}  // namespace

std::optional<TrashStamp> ReadTrashStamp(const std::string& trashedPath, std::string infoText) {
    struct statx st {};
    if (statx(AT_FDCWD, trashedPath.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME,
              &st) != 0) {
        return std::nullopt;
    }
    TrashStamp stamp;
    stamp.File.Identity = {static_cast<std::uint64_t>(makedev(st.stx_dev_major, st.stx_dev_minor)),
                           st.stx_ino};
    stamp.File.Size = static_cast<std::int64_t>(st.stx_size);
    stamp.File.Modified = TimeOf(st.stx_mtime);
    stamp.File.Changed = TimeOf(st.stx_ctime);
    if ((st.stx_mask & STATX_BTIME) != 0) {
        stamp.Born = TimeOf(st.stx_btime);
    }
    stamp.InfoText = std::move(infoText);
    return stamp;
}

std::optional<std::string> ReadTrashInfo(const std::string& infoPath) {
    const int fd = open(infoPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<std::string> text;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        text.emplace();
        char buffer[4096];
        for (;;) {
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0 || text->size() + static_cast<std::size_t>(got) > kMaxTrashInfoBytes) {
                text.reset();
                break;
            }
            if (got == 0) {
                break;
            }
            text->append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(fd);
    return text;
}

}  // namespace platform
