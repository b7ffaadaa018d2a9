#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>

namespace platform {

// The system calls through which moving files writes and renames. Tests replace single members to
// make a call fail as another file system or a full disk would.
struct SystemCalls {
    // renameat2(AT_FDCWD, from, AT_FDCWD, to, flags): 0, or -1 with errno set.
    std::function<int(const char* from, const char* to, unsigned flags)> RenameAt2;
    std::function<ssize_t(int fd, const void* data, std::size_t size)> Write;
    std::function<int(int fd)> Fsync;
    // fsetxattr(fd, name, value, size, flags): 0, or -1 with errno set.
    std::function<int(int fd, const char* name, const void* value, std::size_t size, int flags)>
        FSetXattr;
};

// The real calls of this system.
const SystemCalls& RealSystemCalls();

}  // namespace platform
