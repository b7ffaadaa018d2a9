#include "platform/open_files.h"

#include <sys/resource.h>

#include <limits>

namespace platform {

namespace {

// What the process may open when the hard limit says "no limit": setting the soft limit to that
// fails on Linux (it stops at fs.nr_open, one million by default).
constexpr rlim_t kUnlimitedStandIn = 1 << 20;

std::size_t AsCount(rlim_t limit) {
    if (limit == RLIM_INFINITY || limit > std::numeric_limits<std::size_t>::max()) {
        return std::numeric_limits<std::size_t>::max();
    }
    return static_cast<std::size_t>(limit);
}

}  // namespace

std::size_t RaiseOpenFileLimit() {
    struct rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return OpenFileLimit();
    }
    if (limit.rlim_cur != limit.rlim_max) {
        struct rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) != 0 && limit.rlim_max == RLIM_INFINITY &&
            limit.rlim_cur < kUnlimitedStandIn) {
            raised.rlim_cur = kUnlimitedStandIn;
            setrlimit(RLIMIT_NOFILE, &raised);
        }
    }
    return OpenFileLimit();
}

std::size_t OpenFileLimit() {
    struct rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return 1024;  // what systems start programs with
    }
    return AsCount(limit.rlim_cur);
}

bool IsOutOfFileHandles(const std::error_code& error) {
    return error == std::errc::too_many_files_open ||
           error == std::errc::too_many_files_open_in_system;
}

}  // namespace platform
