#include "platform/open_files.h"

namespace platform {

namespace {

// Windows gives a process millions of handles; the program keeps its own use to this many.
constexpr std::size_t kHandleBudget = 8192;

}  // namespace

std::size_t RaiseOpenFileLimit() {
    return OpenFileLimit();
}

std::size_t OpenFileLimit() {
    return kHandleBudget;
}

bool IsOutOfFileHandles(const std::error_code& error) {
    return error == std::errc::too_many_files_open ||
           error == std::errc::too_many_files_open_in_system;
}

}  // namespace platform
