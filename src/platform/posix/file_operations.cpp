#include "platform/file_operations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/path.h"
#include "platform/posix/file_operations_posix.h"
#include "platform/posix/file_system_posix.h"

namespace platform {

namespace {

// Errors of copying an extended attribute: the system's error text, under a category of their own
// so that the caller can tell the user what kept the file in its place.
class AttributeErrorCategory : public std::error_category {
  public:
    const char* name() const noexcept override { return "extended attribute"; }
    std::string message(int condition) const override {
        return std::generic_category().message(condition);
    }
    std::error_condition default_error_condition(int condition) const noexcept override {
        return std::generic_category().default_error_condition(condition);
    }
};

bool IsSameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    // Closes now, so that a failing close (a delayed write error) can be reported.
    std::error_code Close() {
        const int fd = m_fd;
        m_fd = -1;
        return close(fd) == 0 ? std::error_code() : LastError();
    }

  private:
    int m_fd;
};

std::error_code CopyContents(int in, int out, const SystemCalls& calls) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        if (n == 0) {
            return {};
        }
        if (const std::error_code error = WriteAll(
                out, std::string_view(buffer.data(), static_cast<std::size_t>(n)), calls)) {
            return error;
        }
    }
}

// The names of the extended attributes of an open file, ACLs included; empty where the file
// system keeps none.
std::error_code ExtendedAttributeNames(int fd, std::vector<std::string>& names) {
    names.clear();
    for (;;) {
        const ssize_t size = flistxattr(fd, nullptr, 0);
        if (size < 0) {
            return errno == ENOTSUP ? std::error_code() : LastError();
        }
        std::vector<char> list(static_cast<std::size_t>(size));
        const ssize_t got = flistxattr(fd, list.data(), list.size());
        if (got < 0 && errno == ERANGE) {
            continue;  // an attribute came in between
        }
        if (got < 0) {
            return LastError();
        }
        for (std::size_t pos = 0; pos < static_cast<std::size_t>(got);) {
            const std::string name(list.data() + pos);
            names.push_back(name);
            pos += name.size() + 1;
        }
        return {};
    }
}

// Gives the copy every extended attribute of the original: user attributes, ACLs (they are the
// attributes "system.posix_acl_*") and the rest. One that the target refuses fails the copy.
// An original without an access ACL leaves the copy without one, whatever its new folder's
// default ACL gave it.
std::error_code CopyExtendedAttributes(int in, int out, const SystemCalls& calls) {
    static constexpr char kAccessAcl[] = "system.posix_acl_access";
    std::vector<std::string> names;
    if (const std::error_code error = ExtendedAttributeNames(in, names)) {
        return error;
    }
    if (std::find(names.begin(), names.end(), kAccessAcl) == names.end() &&
        fremovexattr(out, kAccessAcl) != 0 && errno != ENODATA && errno != ENOTSUP) {
        return {errno, AttributeCategory()};
    }
    std::vector<char> value;
    for (const std::string& name : names) {
        ssize_t size = fgetxattr(in, name.c_str(), nullptr, 0);
        if (size >= 0) {
            value.resize(static_cast<std::size_t>(size));
            size = fgetxattr(in, name.c_str(), value.data(), value.size());
        }
        if (size < 0) {
            return LastError();
        }
        if (calls.FSetXattr(out, name.c_str(), value.data(), static_cast<std::size_t>(size), 0) !=
            0) {
            return {errno, AttributeCategory()};
        }
    }
    return {};
}

// Gives the copy the owner (where allowed), mode, extended attributes and times of the original
// and writes it to disk.
std::error_code FinishCopy(int in, int out, const struct stat& original, const SystemCalls& calls) {
    // The owner comes before the mode, because a change of owner clears set-user-ID bits.
    if (fchown(out, original.st_uid, original.st_gid) != 0) {
        // Only a privileged user may give a file away; anyone else keeps the copy as their own.
    }
    if (fchmod(out, original.st_mode & 07777) != 0) {
        return LastError();
    }
    // After the mode: an access ACL carries the group bits of the mode in its mask.
    if (const std::error_code error = CopyExtendedAttributes(in, out, calls)) {
        return error;
    }
    const struct timespec times[2] = {original.st_atim, original.st_mtim};
    if (futimens(out, times) != 0) {
        return LastError();
    }
    return calls.Fsync(out) == 0 ? std::error_code() : LastError();
}

void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// Moves `source` to `target` on another file system: copies it beside `target` under a temporary
// name, syncs the copy, gives it its name and only then removes the source. Any failure removes
// the copy and leaves the source as it was.
std::error_code CopyAcrossFileSystems(const std::string& source, const std::string& target,
                                      const SystemCalls& calls) {
    FileDescriptor in(open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (in.Get() < 0) {
        // A symbolic link is not copied as whatever it points at.
        return errno == ELOOP ? std::make_error_code(std::errc::cross_device_link) : LastError();
    }
    struct stat st {};
    if (fstat(in.Get(), &st) != 0) {
        return LastError();
    }
    if (!S_ISREG(st.st_mode)) {
        return std::make_error_code(std::errc::cross_device_link);
    }

    const std::string folder = SplitPath(target).Folder;
    std::string temporary = JoinPath(folder, ".dopplet-move-XXXXXX");
    FileDescriptor out(mkostemp(temporary.data(), O_CLOEXEC));
    if (out.Get() < 0) {
        return LastError();
    }
    std::error_code error = CopyContents(in.Get(), out.Get(), calls);
    if (!error) {
        error = FinishCopy(in.Get(), out.Get(), st, calls);
    }
    if (const std::error_code closeError = out.Close(); !error) {
        error = closeError;
    }
    if (!error) {
        error = RenameNoReplace(temporary, target, calls);
    }
    if (error) {
        unlink(temporary.c_str());
        return error;
    }
    // The new name must be on disk before the only other copy goes.
    SyncFolder(folder);
    if (unlink(source.c_str()) != 0) {
        error = LastError();
        unlink(target.c_str());
        return error;
    }
    return {};
}

}  // namespace

const std::error_category& AttributeCategory() {
    static const AttributeErrorCategory category;
    return category;
}

MoveResult MoveToFolder(const std::string& source, const std::string& folder,
                        const SystemCalls& calls, const TrashContext& trash) {
    MoveResult result;
    const PathParts parts = SplitPath(source);
    if (source.empty() || parts.Name.empty() || parts.Name == "." || parts.Name == "..") {
        result.Error = std::make_error_code(std::errc::invalid_argument);
        return result;
    }
    struct stat sourceStat {};
    struct stat sourceFolderStat {};
    struct stat folderStat {};
    if (lstat(source.c_str(), &sourceStat) != 0 ||
        stat(parts.Folder.c_str(), &sourceFolderStat) != 0 ||
        stat(folder.c_str(), &folderStat) != 0) {
        result.Error = LastError();
        return result;
    }
    if (!S_ISDIR(folderStat.st_mode)) {
        result.Error = std::make_error_code(std::errc::not_a_directory);
        return result;
    }
    const std::string target = JoinPath(folder, parts.Name);
    if (IsSameFile(sourceFolderStat, folderStat)) {
        // The file is in that folder already. Treating its own name as a file to replace would
        // send the file itself to the trash.
        result.NewPath = target;
        return result;
    }

    struct stat targetStat {};
    if (lstat(target.c_str(), &targetStat) == 0) {
        if (S_ISDIR(targetStat.st_mode)) {
            result.Error = std::make_error_code(std::errc::is_a_directory);
            return result;
        }
        TrashResult trashed = MoveToTrash(target, trash);
        if (trashed.Error) {
            result.Error = trashed.Error;
            return result;
        }
        result.Replaced = std::move(trashed.Trashed);
    } else if (errno != ENOENT) {
        result.Error = LastError();
        return result;
    }

    // No-replace even now: a file that took the name since it was trashed is not overwritten.
    result.Error = RenameNoReplace(source, target, calls);
    if (result.Error == std::errc::cross_device_link) {
        result.Error = CopyAcrossFileSystems(source, target, calls);
    }
    if (result.Error) {
        // The move did not happen: the replaced file goes back to its place.
        if (result.Replaced) {
            RestoreFromTrash(*result.Replaced);
            result.Replaced.reset();
        }
        return result;
    }
    result.NewPath = target;
    return result;
}

MoveResult MoveToFolder(const std::string& source, const std::string& folder) {
    return MoveToFolder(source, folder, RealSystemCalls(), TrashContextFromEnvironment());
}

}  // namespace platform
