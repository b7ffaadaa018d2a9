#include "platform/folder_listing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/posix/folder_listing_posix.h"
#include "platform/posix/path_at.h"

namespace platform {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

EntryKind KindOf(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) {
        return EntryKind::Folder;
    }
    if (S_ISREG(st.st_mode)) {
        return EntryKind::File;
    }
    // Symbolic links are neither followed nor added (that also ends link cycles); opening a FIFO
    // would block for ever, and sockets and devices hold no file contents.
    return EntryKind::Skipped;
}

FileIdentity IdentityOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool IsDotName(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Opens the folder at `folder` for listing; the folder of a path of any length.
UniqueDir OpenFolder(const std::string& folder) {
    const int fd = OpenAnyLength(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        const int error = errno;
        close(fd);
        errno = error;
    }
    return UniqueDir(dir);
}

}  // namespace

FolderListing ListFolderWith(const std::string& folder, const ReadEntry& readEntry) {
    FolderListing listing;
    const UniqueDir dir = OpenFolder(folder);
    if (!dir) {
        listing.Error = std::error_code(errno, std::generic_category());
        return listing;
    }
    const int fd = dirfd(dir.get());
    struct stat self {};
    if (fstat(fd, &self) == 0) {
        listing.Identity = IdentityOf(self);
    }
    for (;;) {
        errno = 0;
        const dirent* entry = readEntry(dir.get());
        if (entry == nullptr) {
            // The end of the listing, or a listing that broke off: only errno tells them apart.
            if (errno != 0) {
                listing.Error = std::error_code(errno, std::generic_category());
            }
            break;
        }
        FolderEntry item;
        item.Name = entry->d_name;
        if (IsDotName(entry->d_name)) {
            item.Kind = EntryKind::Dot;
        } else {
            struct stat st {};
            if (fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                item.Kind = KindOf(st);
                item.Size = st.st_size;
                item.Identity = IdentityOf(st);
                item.Links = st.st_nlink;
            } else {
                item.Error = std::error_code(errno, std::generic_category());
            }
        }
        listing.Entries.push_back(std::move(item));
    }
    return listing;
}

FolderListing ListFolder(const std::string& folder) {
    return ListFolderWith(folder, [](DIR* dir) { return readdir(dir); });
}

int CountFolderEntries(const std::string& folder) {
    const UniqueDir dir = OpenFolder(folder);
    if (!dir) {
        return -1;
    }
    int count = 0;
    while (readdir(dir.get()) != nullptr) {
        ++count;
    }
    return count;
}

}  // namespace platform
