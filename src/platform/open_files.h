#pragma once

#include <cstddef>
#include <system_error>

namespace platform {

// Raises the number of files that the process may have open at once as far as the system lets
// it, and returns the number now in force.
std::size_t RaiseOpenFileLimit();

// The number of files that the process may have open at once.
std::size_t OpenFileLimit();

// Whether `error` says that no handle was left for one more open file, in the process or in the
// whole system: the file itself may be fine, and opening it again once a handle is free works.
bool IsOutOfFileHandles(const std::error_code& error);

}  // namespace platform
