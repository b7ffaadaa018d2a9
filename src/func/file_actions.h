#pragma once

#include <functional>
#include <string>
#include <system_error>

namespace func {

// What the program does to files on the user's behalf, in one place: the single and the bulk
// delete both go through it. A test puts in actions of its own, for example one that fails for a
// chosen file.
struct FileActions {
    // Moves one file to the trash; an empty error on success.
    std::function<std::error_code(const std::string& path)> MoveToTrash;
};

// The real actions on the file system.
FileActions SystemFileActions();

}  // namespace func
