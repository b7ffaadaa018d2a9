#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string_view>
#include <system_error>

namespace platform {

// The system calls through which the program writes, moves and renames files. Tests replace
// single members to make a call fail as another file system or a full disk would.
struct SystemCalls {
    // open(path, flags, mode): a descriptor, or -1 with errno set.
    std::function<int(const char* path, int flags, mode_t mode)> Open;
    // rename(from, to): 0, or -1 with errno set.
    std::function<int(const char* from, const char* to)> Rename;
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

// errno as an error code.
std::error_code LastError();

// Writes all of `data` to `fd` through `calls.Write`, going on after short writes and EINTR.
std::error_code WriteAll(int fd, std::string_view data, const SystemCalls& calls);

}  // namespace platform
