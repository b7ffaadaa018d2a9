#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

#include "platform/posix/system_calls.h"
#include "platform/posix/trash_info.h"
#include "platform/trash.h"

namespace platform {

// Everything that MoveToTrash takes from its surroundings, so that tests can put the trash into a
// temporary folder, pretend that a file lies on another file system, or stop it between two
// system calls.
struct TrashContext {
    std::string HomeTrash;  // $XDG_DATA_HOME/Trash; empty when there is no home folder
    uid_t Uid = 0;
    // Device of the home trash; when unset, that of the home trash or of its nearest existing
    // parent folder (the home trash is created on first use). Tests set it to pretend that a file
    // lies on another file system.
    std::optional<dev_t> HomeTrashDevice;
    // Finds the top folder (mount point) of the file system `device` that holds `folder`, a
    // folder path without symbolic links; empty when there is none.
    std::function<std::string(const std::string& folder, dev_t device)> FindTopDir;
    std::function<std::time_t()> Now;
    // The numbers in the names of a file's tries past the numbered ones (see TrashNameSuffix).
    std::function<std::uint32_t()> Random = RandomTrashNameNumber;
    // The calls that write the .trashinfo and move the file.
    SystemCalls Calls = RealSystemCalls();
};

// The context of this process: XDG_DATA_HOME or HOME, the real user, the real mounts and clock.
TrashContext TrashContextFromEnvironment();

TrashResult MoveToTrash(const std::string& path, const TrashContext& context);

// The trash entry whose file is at `trashedPath` and whose .trashinfo holds `infoText`, as a
// restore compares it; nullopt when nothing has that name.
std::optional<TrashStamp> ReadTrashStamp(const std::string& trashedPath, std::string infoText);

// The bytes of the .trashinfo at `infoPath`; nullopt when it is gone, is no regular file, or is
// longer than any that MoveToTrash writes.
std::optional<std::string> ReadTrashInfo(const std::string& infoPath);

// The top folder of the file system `device` that holds `folder`: the last folder on the way up
// that still lies on `device`.
std::string FindTopDir(const std::string& folder, dev_t device);

struct TrashFolderChoice {
    std::error_code Error;
    std::string Folder;  // the trash folder, holding files/ and info/
    std::string TopDir;  // empty for the home trash; else the folder that Path= is relative to
};

// Picks the trash for a file on `fileDevice` and creates it with its files/ and info/ when
// missing: the home trash when the file shares its file system; else "<topDir>/.Trash/<uid>"
// when "<topDir>/.Trash" is a real folder with the sticky bit, else "<topDir>/.Trash-<uid>".
// A trash that would not lie on `fileDevice` is never chosen (TrashErrc::NoUsableTrash).
TrashFolderChoice ChooseTrashFolder(dev_t fileDevice, dev_t homeTrashDevice,
                                    const std::string& homeTrash, const std::string& topDir,
                                    uid_t uid);

}  // namespace platform
