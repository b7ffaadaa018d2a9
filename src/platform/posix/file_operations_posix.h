#pragma once

#include <string>
#include <system_error>

#include "platform/file_operations.h"
#include "platform/posix/system_calls.h"
#include "platform/posix/trash_posix.h"

namespace platform {

// MoveToFolder through the given system calls and trash, so that tests can make a rename report
// EXDEV (another file system) or a write fail.
MoveResult MoveToFolder(const std::string& source, const std::string& folder,
                        const SystemCalls& calls, const TrashContext& trash);

}  // namespace platform
