#include "platform/trash_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/system_paths.h"

namespace platform {

namespace {

bool IsTrashName(std::string_view name) {
    constexpr std::string_view kTrash = ".Trash";
    if (name == kTrash) {
        return true;
    }
    if (name.size() <= kTrash.size() + 1 || name.substr(0, kTrash.size() + 1) != ".Trash-") {
        return false;
    }
    for (char c : name.substr(kTrash.size() + 1)) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// True when `folder` is the top of a file system: its parent lies on another device, or it is
// its own parent (the root).
bool IsFileSystemTop(const std::string& folder) {
    struct stat self {};
    struct stat parent {};
    if (stat(folder.c_str(), &self) != 0 || stat((folder + "/..").c_str(), &parent) != 0) {
        return false;
    }
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

}  // namespace

std::string HomeTrashPath() {
    return UserDataFolder() + "/Trash";
}

TrashFolders::TrashFolders() {
    struct stat st {};
    if (lstat(HomeTrashPath().c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        m_homeTrash = {static_cast<std::uint64_t>(st.st_dev),
                       static_cast<std::uint64_t>(st.st_ino)};
        m_hasHomeTrash = true;
    }
}

bool TrashFolders::IsTrash(const std::string& path, std::string_view name,
                           const FileIdentity& identity) const {
    if (m_hasHomeTrash && identity == m_homeTrash) {
        return true;
    }
    if (!IsTrashName(name)) {
        return false;
    }
    const std::string parent = path.substr(0, path.size() - name.size());
    return IsFileSystemTop(parent.empty() ? "/" : parent);
}

}  // namespace platform
