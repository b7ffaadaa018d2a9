#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "platform/file_system.h"
#include "platform/posix/system_calls.h"

namespace platform {

// WriteFileAtomically through the given system calls, so that tests can make one step fail.
std::error_code WriteFileAtomically(const std::string& path, std::string_view contents,
                                    const SystemCalls& calls);

}  // namespace platform
