#include "platform/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/path.h"
#include "platform/posix/file_system_posix.h"
#include "platform/posix/system_calls.h"
#include "platform/posix/trash_info.h"
#include "platform/posix/trash_posix.h"
#include "platform/system_paths.h"
#include "platform/trash_folders.h"

namespace platform {

namespace {

class TrashCategoryImpl : public std::error_category {
  public:
    const char* name() const noexcept override { return "trash"; }
    std::string message(int condition) const override {
        switch (static_cast<TrashErrc>(condition)) {
            case TrashErrc::NoHomeFolder:
                return "no home folder is known (neither XDG_DATA_HOME nor HOME is set), so "
                       "there is no trash";
            case TrashErrc::NoUsableTrash:
                return "the file system of the file has no usable trash; the file was not deleted";
            case TrashErrc::NoFreeName:
                return "no free name for the file in the trash";
            case TrashErrc::NotInTrash:
                return "the trash no longer holds the file that was deleted";
        }
        return "unknown trash error";
    }
};

// The home trash as the walker knows it, or empty when no home folder is set at all (a trash in
// "/.local/share" would be nobody's).
std::string HomeTrashFromEnvironment() {
    const std::string dataFolder = UserDataFolder();
    const bool nobodys = HomeFolder().empty() && dataFolder == "/.local/share";
    return IsAbsolute(dataFolder) && !nobodys ? HomeTrashPath() : std::string();
}

// Device of `path`, or of its nearest existing parent folder while it does not exist yet.
std::error_code DeviceOfNearestExisting(std::string path, dev_t& device) {
    for (;;) {
        struct stat st {};
        if (stat(path.c_str(), &st) == 0) {
            device = st.st_dev;
            return {};
        }
        if (errno != ENOENT || path == "/" || path == ".") {
            return LastError();
        }
        path = SplitPath(path).Folder;
    }
}

// Creates `path` and the missing folders on its way with `mode`.
std::error_code MakeFolders(const std::string& path, mode_t mode) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        if (mkdir(path.substr(0, slash).c_str(), mode) != 0 && errno != EEXIST) {
            return LastError();
        }
    }
    if (mkdir(path.c_str(), mode) != 0 && errno != EEXIST) {
        return LastError();
    }
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return LastError();
    }
    return S_ISDIR(st.st_mode) ? std::error_code()
                               : std::make_error_code(std::errc::not_a_directory);
}

// Creates files/ and info/ in `trash` when missing. In a trash at a file system's top, which other
// users can reach, neither may be a symbolic link.
std::error_code MakeTrashSubfolders(const std::string& trash, bool followLinks) {
    for (const char* sub : {"files", "info"}) {
        const std::string path = JoinPath(trash, sub);
        if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
            return LastError();
        }
        struct stat st {};
        const int rc = followLinks ? stat(path.c_str(), &st) : lstat(path.c_str(), &st);
        if (rc != 0) {
            return LastError();
        }
        if (!S_ISDIR(st.st_mode)) {
            return std::make_error_code(std::errc::not_a_directory);
        }
    }
    return {};
}

// True when the files/ folder of `trash` lies on `device`: a trash on another file system would
// need a copy, and a delete never copies.
bool IsOnDevice(const std::string& trash, dev_t device) {
    struct stat st {};
    return stat(JoinPath(trash, "files").c_str(), &st) == 0 && st.st_dev == device;
}

// Creates `path` (mode 0700) when missing; true when it is then a real folder of `uid`'s.
bool MakeOwnFolder(const std::string& path, uid_t uid) {
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid;
}

bool IsUsableTopDirTrash(const std::string& trash, uid_t uid, dev_t device) {
    return MakeOwnFolder(trash, uid) && !MakeTrashSubfolders(trash, false) &&
           IsOnDevice(trash, device);
}

// The shared "<topDir>/.Trash" serves only as a real folder with the sticky bit, so that no other
// user can take away or replace our "<uid>" folder in it.
bool IsSharedTrashFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0;
}

// The Path= value: relative to the top folder for a trash there, else absolute.
std::string TrashInfoPath(const std::string& original, const std::string& topDir) {
    if (topDir.empty()) {
        return original;
    }
    if (topDir == "/") {
        return original.substr(1);
    }
    if (original.size() > topDir.size() + 1 && original.compare(0, topDir.size(), topDir) == 0 &&
        original[topDir.size()] == '/') {
        return original.substr(topDir.size() + 1);
    }
    return original;
}

// Writes a new .trashinfo at `infoPath`; EEXIST when that name is taken.
std::error_code CreateTrashInfo(const std::string& infoPath, const std::string& text,
                                const SystemCalls& calls) {
    const int fd =
        calls.Open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return LastError();
    }
    std::error_code error = WriteAll(fd, text, calls);
    if (close(fd) != 0 && !error) {
        error = LastError();
    }
    if (error) {
        unlink(infoPath.c_str());
    }
    return error;
}

// True when the trash entry is still the one that the delete made.
bool IsAsTrashed(const TrashedFile& trashed) {
    if (!trashed.Stamp) {
        return false;
    }
    std::optional<std::string> info = ReadTrashInfo(trashed.InfoPath);
    return info && ReadTrashStamp(trashed.TrashedPath, std::move(*info)) == trashed.Stamp;
}

}  // namespace

const std::error_category& TrashCategory() {
    static const TrashCategoryImpl category;
    return category;
}

std::error_code make_error_code(TrashErrc errc) {
    return {static_cast<int>(errc), TrashCategory()};
}

TrashContext TrashContextFromEnvironment() {
    TrashContext context;
    context.HomeTrash = HomeTrashFromEnvironment();
    context.Uid = getuid();
    context.FindTopDir = [](const std::string& folder, dev_t device) {
        return FindTopDir(folder, device);
    };
    context.Now = [] { return std::time(nullptr); };
    return context;
}

std::string FindTopDir(const std::string& folder, dev_t device) {
    struct stat st {};
    if (folder.empty() || folder[0] != '/' || stat(folder.c_str(), &st) != 0 ||
        st.st_dev != device) {
        return {};
    }
    std::string current = folder;
    while (current != "/") {
        const std::string parent = SplitPath(current).Folder;
        if (stat(parent.c_str(), &st) != 0 || st.st_dev != device) {
            return current;
        }
        current = parent;
    }
    return current;
}

TrashFolderChoice ChooseTrashFolder(dev_t fileDevice, dev_t homeTrashDevice,
                                    const std::string& homeTrash, const std::string& topDir,
                                    uid_t uid) {
    TrashFolderChoice choice;
    if (fileDevice == homeTrashDevice) {
        // The home trash and the folders on its way (~/.local/share may be missing) are private.
        choice.Error = MakeFolders(homeTrash, 0700);
        if (!choice.Error) {
            choice.Error = MakeTrashSubfolders(homeTrash, true);
        }
        if (!choice.Error && !IsOnDevice(homeTrash, fileDevice)) {
            choice.Error = TrashErrc::NoUsableTrash;
        }
        if (!choice.Error) {
            choice.Folder = homeTrash;
        }
        return choice;
    }
    if (topDir.empty()) {
        choice.Error = TrashErrc::NoUsableTrash;
        return choice;
    }
    const std::string shared = JoinPath(topDir, ".Trash");
    const std::string perUser = JoinPath(shared, std::to_string(uid));
    const std::string own = JoinPath(topDir, ".Trash-" + std::to_string(uid));
    if (IsSharedTrashFolder(shared) && IsUsableTopDirTrash(perUser, uid, fileDevice)) {
        choice.Folder = perUser;
    } else if (IsUsableTopDirTrash(own, uid, fileDevice)) {
        choice.Folder = own;
    } else {
        choice.Error = TrashErrc::NoUsableTrash;
        return choice;
    }
    choice.TopDir = topDir;
    return choice;
}

TrashResult MoveToTrash(const std::string& path, const TrashContext& context) {
    TrashResult result;
    const PathParts parts = SplitPath(path);
    if (path.empty() || parts.Name.empty() || parts.Name == "." || parts.Name == "..") {
        result.Error = std::make_error_code(std::errc::invalid_argument);
        return result;
    }
    if (context.HomeTrash.empty()) {
        result.Error = TrashErrc::NoHomeFolder;
        return result;
    }
    // The folder is resolved so that Path= names the file for good and its top folder can be
    // found; the file itself is taken as it is, a symbolic link included.
    const std::unique_ptr<char, decltype(&std::free)> realFolder(
        realpath(parts.Folder.c_str(), nullptr), &std::free);
    if (!realFolder) {
        result.Error = LastError();
        return result;
    }
    const std::string original = JoinPath(realFolder.get(), parts.Name);
    struct stat st {};
    if (lstat(original.c_str(), &st) != 0) {
        result.Error = LastError();
        return result;
    }

    dev_t homeDevice = 0;
    if (context.HomeTrashDevice) {
        homeDevice = *context.HomeTrashDevice;
    } else if (const std::error_code error =
                   DeviceOfNearestExisting(context.HomeTrash, homeDevice)) {
        result.Error = error;
        return result;
    }
    const std::string topDir =
        st.st_dev == homeDevice ? std::string() : context.FindTopDir(realFolder.get(), st.st_dev);
    const TrashFolderChoice choice =
        ChooseTrashFolder(st.st_dev, homeDevice, context.HomeTrash, topDir, context.Uid);
    if (choice.Error) {
        result.Error = choice.Error;
        return result;
    }

    const std::string text =
        TrashInfoText(PercentEncodePath(TrashInfoPath(original, choice.TopDir)), context.Now());
    const std::string infoFolder = JoinPath(choice.Folder, "info");
    const std::string filesFolder = JoinPath(choice.Folder, "files");
    for (int attempt = 0; attempt < kMaxTrashNameAttempts; ++attempt) {
        const std::string name = TrashedName(parts.Name, TrashNameSuffix(attempt, context.Random));
        const std::string infoPath = JoinPath(infoFolder, name + std::string(kTrashInfoExtension));
        // The .trashinfo comes first and claims the name: a crash in between leaves at most an
        // info without a file, never a trashed file that nobody can restore.
        if (const std::error_code error = CreateTrashInfo(infoPath, text, context.Calls)) {
            if (error == std::errc::file_exists) {
                continue;
            }
            result.Error = error;
            return result;
        }
        const std::string trashedPath = JoinPath(filesFolder, name);
        const std::error_code error = RenameNoReplace(original, trashedPath, context.Calls);
        if (!error) {
            result.Trashed = {original, trashedPath, infoPath, ReadTrashStamp(trashedPath, text)};
            return result;
        }
        unlink(infoPath.c_str());
        if (error == std::errc::cross_device_link) {
            result.Error = TrashErrc::NoUsableTrash;
            return result;
        }
        if (error != std::errc::file_exists) {
            result.Error = error;
            return result;
        }
        // A file of that name lies in files/ without its .trashinfo: try the next name.
    }
    result.Error = TrashErrc::NoFreeName;
    return result;
}

TrashResult MoveToTrash(const std::string& path) {
    return MoveToTrash(path, TrashContextFromEnvironment());
}

std::error_code RestoreFromTrash(const TrashedFile& trashed) {
    // Only the file that the delete put there goes back: not one that took its trash name (or
    // even its inode) after the user emptied the trash, nor one changed in the trash since.
    if (!IsAsTrashed(trashed)) {
        return TrashErrc::NotInTrash;
    }
    const std::error_code error = RenameNoReplace(trashed.TrashedPath, trashed.OriginalPath);
    if (!error) {
        unlink(trashed.InfoPath.c_str());
    }
    return error;
}

}  // namespace platform
