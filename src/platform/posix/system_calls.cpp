#include "platform/posix/system_calls.h"

#include <sys/xattr.h>

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {

const SystemCalls& RealSystemCalls() {
    static const SystemCalls calls{
        [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
        [](const char* from, const char* to) { return ::rename(from, to); },
        // Through syscall() so that a C library without the renameat2 wrapper serves as well.
        [](const char* from, const char* to, unsigned flags) {
            return static_cast<int>(syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, flags));
        },
        [](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); },
        [](int fd) { return ::fsync(fd); },
        [](int fd, const char* name, const void* value, std::size_t size, int flags) {
            return ::fsetxattr(fd, name, value, size, flags);
        },
    };
    return calls;
}

std::error_code LastError() {
    return {errno, std::generic_category()};
}

std::error_code WriteAll(int fd, std::string_view data, const SystemCalls& calls) {
    while (!data.empty()) {
        const ssize_t written = calls.Write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        if (written == 0) {
            return std::make_error_code(std::errc::io_error);
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

}  // namespace platform
