#pragma once

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

// A file that lies in the trash, and where it came from.
struct TrashedFile {
    std::string OriginalPath;  // where the file was, its folder resolved to a real path
    std::string TrashedPath;   // <trash>/files/<name>
    std::string InfoPath;      // <trash>/info/<name>.trashinfo
    // The file as it lay in the trash right after the move, to know it again at a restore.
    std::optional<FileStamp> Stamp = {};

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
// the very file that the delete put there (TrashErrc::NotInTrash otherwise). Never replaces a
// file: fails with EEXIST when the name is taken again. On any failure the trash entry stays.
std::error_code RestoreFromTrash(const TrashedFile& trashed);

}  // namespace platform

template <>
struct std::is_error_code_enum<platform::TrashErrc> : std::true_type {};
