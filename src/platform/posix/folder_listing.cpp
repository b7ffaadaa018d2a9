#include "platform/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace platform {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

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

bool IsDotName(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

}  // namespace

FolderListing ListFolder(const std::string& folder) {
    FolderListing listing;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        listing.Error = std::error_code(errno, std::generic_category());
        return listing;
    }
    const int fd = dirfd(dir.get());
    while (const dirent* entry = readdir(dir.get())) {
        FolderEntry item;
        item.Name = entry->d_name;
        if (IsDotName(entry->d_name)) {
            item.Kind = EntryKind::Dot;
        } else {
            struct stat st {};
            if (fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                item.Kind = KindOf(st);
                item.Size = st.st_size;
                item.Identity = {static_cast<std::uint64_t>(st.st_dev),
                                 static_cast<std::uint64_t>(st.st_ino)};
            }
        }
        listing.Entries.push_back(std::move(item));
    }
    return listing;
}

int CountFolderEntries(const std::string& folder) {
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
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
