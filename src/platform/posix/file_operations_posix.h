#pragma once

#include <string>
#include <system_error>

#include "platform/file_operations.h"
#include "platform/posix/system_calls.h"
#include "platform/posix/trash_posix.h"

namespace platform {

// RenameNoReplace and MoveToFolder through the given system calls and trash, so that tests can
// make a rename report EXDEV (another file system) or a write fail.
std::error_code RenameNoReplace(const std::string& from, const std::string& to,
                                const SystemCalls& calls);

MoveResult MoveToFolder(const std::string& source, const std::string& folder,
                        const SystemCalls& calls, const TrashContext& trash);

}  // namespace platform
