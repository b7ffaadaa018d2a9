#include "platform/posix/system_calls.h"

#include <sys/xattr.h>

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

const SystemCalls& RealSystemCalls() {
    static const SystemCalls calls{
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

}  // namespace platform
