#include "platform/file_attributes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/path.h"
#include "platform/posix/file_stamp_posix.h"

namespace platform {

namespace {

// The user may not write the file: no write bit at all (which even root's write access does not
// undo in a user's eyes), or the system refuses the user (permissions, a read-only mount).
bool IsReadOnly(const std::string& path, mode_t mode) {
    if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return true;
    }
    if (S_ISLNK(mode)) {
        return false;  // access() would look at the link's target
    }
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 &&
           (errno == EACCES || errno == EROFS || errno == EPERM);
}

}  // namespace

FileAttributesResult ReadFileAttributes(const std::string& path) {
    FileAttributesResult result;
    struct statx st {};
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &st) !=
        0) {
        result.Error = {errno, std::generic_category()};
        return result;
    }
    FileAttributes& attributes = result.Attributes;
    attributes.Name = SplitPath(path).Name;
    attributes.ShortName = attributes.Name;
    attributes.IsFolder = S_ISDIR(st.stx_mode);
    attributes.Size = static_cast<std::int64_t>(st.stx_size);
    attributes.Modified = TimeOf(st.stx_mtime);
    attributes.Accessed = TimeOf(st.stx_atime);
    if ((st.stx_mask & STATX_BTIME) != 0) {
        attributes.Created = TimeOf(st.stx_btime);
    }
    attributes.ReadOnly = IsReadOnly(path, st.stx_mode);
    attributes.Hidden = !attributes.Name.empty() && attributes.Name[0] == '.';
    attributes.Compressed =
        (st.stx_attributes_mask & st.stx_attributes & STATX_ATTR_COMPRESSED) != 0;
    return result;
}

}  // namespace platform
