#include "platform/file_system.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/path.h"
#include "platform/posix/file_system_posix.h"
#include "platform/posix/system_calls.h"

namespace platform {

namespace {

// The file that a write to `path` has to replace: the target of a symbolic link, so that the link
// itself survives.
std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return path;
    }
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return path;  // a dangling link: the rename replaces the link itself
    }
    std::string target(resolved);
    std::free(resolved);
    return target;
}

// Reads what is left of the file open as `fd` into `contents`.
std::error_code ReadAll(int fd, std::string& contents) {
    contents.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        if (got == 0) {
            return {};
        }
        contents.append(buffer, static_cast<std::size_t>(got));
    }
}

// A short, fixed-length hidden name, so that a target name near the length limit still leaves room.
std::string TemporaryName(const std::string& folder, std::mt19937_64& random) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%012llx",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFULL));
    return JoinPath(folder, std::string(".dopplet-") + suffix + ".tmp");
}

// Writes and syncs the temporary file; the descriptor is closed in every case.
std::error_code FillTemporary(int fd, std::string_view contents, const struct stat* old,
                              const SystemCalls& calls) {
    std::error_code error;
    if (old != nullptr) {
        // The replacement keeps the old file's permissions and, where allowed, its owner.
        if (fchmod(fd, old->st_mode & 07777) != 0) {
            error = LastError();
        }
        if (!error && (old->st_uid != geteuid() || old->st_gid != getegid())) {
            [[maybe_unused]] const int ignored = fchown(fd, old->st_uid, old->st_gid);
        }
    }
    if (!error) {
        error = WriteAll(fd, contents, calls);
    }
    if (!error && calls.Fsync(fd) != 0) {
        error = LastError();
    }
    if (::close(fd) != 0 && !error) {
        error = LastError();
    }
    return error;
}

// Writes `contents` over the file open as `fd` from its start, cuts the file to their length and
// syncs it.
std::error_code Overwrite(int fd, std::string_view contents, const SystemCalls& calls) {
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        return LastError();
    }
    if (const std::error_code error = WriteAll(fd, contents, calls)) {
        return error;
    }
    if (::ftruncate(fd, static_cast<off_t>(contents.size())) != 0 || calls.Fsync(fd) != 0) {
        return LastError();
    }
    return {};
}

// Rewrites `target` itself, for a file that may be written inside a folder that may not: only
// used when no temporary file can be made beside it. This cannot be all or nothing: the new
// bytes go over the old ones from the start, then the file is cut to their length. A write that
// fails on the way (a full disk, a size limit) puts the old bytes back, so that the old file is
// lost only when even that fails.
std::error_code WriteInPlace(const std::string& target, std::string_view contents,
                             const SystemCalls& calls) {
    // A file that may be written but not read is replaced without the way back.
    int fd = calls.Open(target.c_str(), O_RDWR | O_CLOEXEC, 0);
    const bool readable = fd >= 0;
    if (!readable && errno == EACCES) {
        fd = calls.Open(target.c_str(), O_WRONLY | O_CLOEXEC, 0);
    }
    if (fd < 0) {
        return LastError();
    }
    std::string old;
    std::error_code error = readable ? ReadAll(fd, old) : std::error_code();
    if (!error) {
        error = Overwrite(fd, contents, calls);
        if (error && readable) {
            [[maybe_unused]] const std::error_code restored = Overwrite(fd, old, calls);
        }
    }
    if (::close(fd) != 0 && !error) {
        error = LastError();
    }
    return error;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);  // best effort: the rename has happened either way
        ::close(fd);
    }
}

}  // namespace

std::error_code RenameNoReplace(const std::string& from, const std::string& to,
                                const SystemCalls& calls) {
    if (calls.RenameAt2(from.c_str(), to.c_str(), RENAME_NOREPLACE) == 0) {
        return {};
    }
    const int renameError = errno;
    if (renameError != EINVAL && renameError != ENOSYS) {
        return {renameError, std::generic_category()};
    }
    // The kernel or the file system does not know the flag. A hard link claims the new name just
    // as safely (it fails when the name exists); a folder cannot be linked.
    struct stat st {};
    if (lstat(from.c_str(), &st) != 0) {
        return LastError();
    }
    if (S_ISDIR(st.st_mode)) {
        return {renameError, std::generic_category()};
    }
    if (link(from.c_str(), to.c_str()) != 0) {
        return LastError();
    }
    if (unlink(from.c_str()) != 0) {
        const std::error_code error = LastError();
        unlink(to.c_str());
        return error;
    }
    return {};
}

std::error_code RenameNoReplace(const std::string& from, const std::string& to) {
    return RenameNoReplace(from, to, RealSystemCalls());
}

std::error_code WriteFileAtomically(const std::string& path, std::string_view contents,
                                    const SystemCalls& calls) {
    const std::string target = ResolveTarget(path);
    const std::string folder = SplitPath(target).Folder;

    struct stat oldStat {};
    const bool hasOld = stat(target.c_str(), &oldStat) == 0;
    if (hasOld && S_ISDIR(oldStat.st_mode)) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    // A file that the user may not write stays as it is, even where the folder would let a new
    // file take its place.
    if (hasOld && ::access(target.c_str(), W_OK) != 0) {
        return LastError();
    }

    std::mt19937_64 random(std::random_device{}() ^ static_cast<unsigned long long>(getpid()));
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryName(folder, random);
        fd = calls.Open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && hasOld && (errno == EACCES || errno == EPERM)) {
            return WriteInPlace(target, contents, calls);
        }
        if (fd < 0 && errno != EEXIST) {
            return LastError();
        }
    }
    if (fd < 0) {
        return std::make_error_code(std::errc::file_exists);
    }

    std::error_code error = FillTemporary(fd, contents, hasOld ? &oldStat : nullptr, calls);
    if (!error && calls.Rename(temporary.c_str(), target.c_str()) != 0) {
        error = LastError();
    }
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    SyncFolder(folder);
    return {};
}

std::error_code WriteFileAtomically(const std::string& path, std::string_view contents) {
    return WriteFileAtomically(path, contents, RealSystemCalls());
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsWritableFolder(const std::string& path) {
    return access(path.c_str(), W_OK | X_OK) == 0;
}

std::error_code CreateFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        return {};
    }
    const std::string folder = path.substr(0, slash);
    // Each step from the top: a folder made here is private to the user, like the configuration
    // folder it usually is.
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string step = folder.substr(0, end);
        if (!IsFolder(step) && mkdir(step.c_str(), 0700) != 0 && errno != EEXIST) {
            return LastError();
        }
        if (end == std::string::npos) {
            return {};
        }
    }
}

std::error_code ReadWholeFile(const std::string& path, std::string& contents) {
    contents.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return LastError();
    }
    const std::error_code error = ReadAll(fd, contents);
    ::close(fd);
    return error;
}

}  // namespace platform
