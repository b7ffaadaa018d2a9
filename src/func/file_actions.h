#pragma once

#include <functional>
#include <string>
#include <system_error>

#include "platform/file_operations.h"
#include "platform/trash.h"

namespace func {

// What the program does to files on the user's behalf, in one place: the single and the bulk
// delete both go through it, and so do the move and the restore. A test puts in actions of its
// own, for example one that fails for a chosen file.
struct FileActions {
    // Moves one file to the trash (see platform::MoveToTrash).
    std::function<platform::TrashResult(const std::string& path)> MoveToTrash;
    // Puts a file that MoveToTrash trashed back (see platform::RestoreFromTrash).
    std::function<std::error_code(const platform::TrashedFile& trashed)> RestoreFromTrash;
    // Moves one file into a folder (see platform::MoveToFolder).
    std::function<platform::MoveResult(const std::string& source, const std::string& folder)>
        MoveToFolder;
};

// The real actions on the file system.
FileActions SystemFileActions();

}  // namespace func
