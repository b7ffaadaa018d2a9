#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "platform/file_system.h"
#include "platform/posix/system_calls.h"

namespace platform {

// RenameNoReplace through the given system calls, so that tests can make the rename report that
// the kernel or the file system does not know the flag.
std::error_code RenameNoReplace(const std::string& from, const std::string& to,
                                const SystemCalls& calls);

// WriteFileAtomically through the given system calls, so that tests can make one step fail.
std::error_code WriteFileAtomically(const std::string& path, std::string_view contents,
                                    const SystemCalls& calls);

}  // namespace platform
