#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <type_traits>

#include "platform/file_stamp.h"

namespace platform {

// Why a file could not be moved to the trash, beyond what the system calls report.
enum class TrashErrc {
    NoHomeFolder = 1,  // neither XDG_DATA_HOME nor HOME names a home trash
    NoUsableTrash,     // the file's file system has no trash that may be used
    NoFreeName,        // every name tried for the file is taken in the trash
    NotInTrash,        // the trash no longer holds the file that the delete put there
};

const std::error_category& TrashCategory();
std::error_code make_error_code(TrashErrc errc);

// What a restore compares to know a trash entry again. A freed inode may go to the next file made,
// so device, inode, size and modification time alone do not tell the file that the delete
// trashed from another one of the same name, size and time trashed since.
struct TrashStamp {
    FileStamp File;
    std::optional<FileTime> Born;  // when the file was made, where the file system knows
    std::string InfoText;          // the .trashinfo as the delete wrote it

    friend bool operator==(const TrashStamp&, const TrashStamp&) = default;
};

// A file that lies in the trash, and where it came from.
struct TrashedFile {
    std::string OriginalPath;  // where the file was, its folder resolved to a real path
    std::string TrashedPath;   // <trash>/files/<name>
    std::string InfoPath;      // <trash>/info/<name>.trashinfo
    // The entry as it was right after the move (a rename changes the change time), to know it
    // again at a restore.
    std::optional<TrashStamp> Stamp = {};

    friend bool operator==(const TrashedFile&, const TrashedFile&) = default;
};

struct TrashResult {
    std::error_code Error;
    TrashedFile Trashed;  // set when Error is clear
};

// Moves one file (or symbolic link) to the trash of its file system, so that it can be restored.
// Never deletes for good: when the file's file system has no usable trash, the file stays and the
// result holds TrashErrc::NoUsableTrash.
TrashResult MoveToTrash(const std::string& path);

// Puts a trashed file back where it was and removes its trash info, provided the trash still holds
// the very entry that the delete made: the same file, unchanged, and the same .trashinfo
// (TrashErrc::NotInTrash otherwise). Never replaces a file: fails with EEXIST when the name is
// taken again. On any failure the trash entry stays.
std::error_code RestoreFromTrash(const TrashedFile& trashed);

}  // namespace platform

template <>
struct std::is_error_code_enum<platform::TrashErrc> : std::true_type {};
