#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <system_error>

namespace func {

// The system calls that an atomic write makes. Tests replace one of them to make that step fail.
struct AtomicWriteCalls {
    int (*Open)(const char* path, int flags, mode_t mode);
    ssize_t (*Write)(int fd, const void* data, size_t size);
    int (*Fsync)(int fd);
    int (*Rename)(const char* from, const char* to);
};

// The real system calls.
const AtomicWriteCalls& SystemAtomicWriteCalls();

// Replaces the file at `path` with `contents`, or creates it: the bytes go to a new temporary file
// in the same folder, reach the disk, and only then take the place of the old file in one rename.
// On any failure the old file stays as it was and the temporary file is removed. An existing
// file's permissions are kept; a symbolic link is followed, so its target is replaced. An existing
// file that may not be written is not replaced (the error says why); one that may be written in a
// folder where no temporary file can be made is rewritten in place.
std::error_code WriteFileAtomically(const std::string& path, std::string_view contents,
                                    const AtomicWriteCalls& calls = SystemAtomicWriteCalls());

// Reads a whole file. ENOENT when it does not exist.
std::error_code ReadWholeFile(const std::string& path, std::string& contents);

}  // namespace func
