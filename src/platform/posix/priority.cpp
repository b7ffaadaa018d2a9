#include "platform/priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/posix/system_calls.h"

namespace platform {

namespace {

// The I/O priority encoding of the kernel's ioprio_set (linux/ioprio.h, which glibc lacks).
constexpr int kIoClassShift = 13;
constexpr int kIoClassRealtime = 1;
constexpr int kIoClassBestEffort = 2;
constexpr int kIoClassIdle = 3;
constexpr int kIoWhoProcess = 1;

constexpr int IoPriority(int ioClass, int level) {
    return (ioClass << kIoClassShift) | level;
}

struct ThreadPriority {
    int Nice = 0;
    int IoPriority = 0;
};

// With the thread id, setpriority and ioprio_set act on this one thread, not on the process.
std::error_code SetNice(int nice) {
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice) != 0) {
        return LastError();
    }
    return {};
}

std::error_code SetIoPriority(int ioPriority) {
    if (syscall(SYS_ioprio_set, kIoWhoProcess, gettid(), ioPriority) != 0) {
        return LastError();
    }
    return {};
}

std::optional<ThreadPriority> ReadThreadPriority() {
    errno = 0;
    ThreadPriority current;
    current.Nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    if (errno != 0) {
        return std::nullopt;
    }
    const long ioPriority = syscall(SYS_ioprio_get, kIoWhoProcess, gettid());
    if (ioPriority < 0) {
        return std::nullopt;
    }
    current.IoPriority = static_cast<int>(ioPriority);
    return current;
}

// What the thread had before this module first changed it: "normal" goes back there.
thread_local std::optional<ThreadPriority> t_baseline;

bool IsRefusal(std::error_code error) {
    return error == std::errc::operation_not_permitted || error == std::errc::permission_denied;
}

// Asks for a higher priority; a refusal for want of privilege leaves the thread as it was.
std::error_code Raise(int nice, int ioPriority, int fallbackIoPriority) {
    std::error_code error = SetNice(nice);
    if (IsRefusal(error)) {
        error.clear();
    }
    std::error_code ioError = SetIoPriority(ioPriority);
    if (IsRefusal(ioError)) {
        ioError = SetIoPriority(fallbackIoPriority);
    }
    return error ? error : ioError;
}

}  // namespace

std::error_code SetThreadPriorityClass(int priorityClass) {
    if (priorityClass != kPriorityRealtime && priorityClass != kPriorityHigh &&
        priorityClass != kPriorityNormal && priorityClass != kPriorityIdle) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    if (!t_baseline) {
        t_baseline = ReadThreadPriority();
        if (!t_baseline) {
            return LastError();
        }
    }
    const ThreadPriority& baseline = *t_baseline;
    switch (priorityClass) {
        case kPriorityIdle: {
            const std::error_code error = SetNice(19);
            const std::error_code ioError = SetIoPriority(IoPriority(kIoClassIdle, 0));
            return error ? error : ioError;
        }
        case kPriorityHigh:
            return Raise(baseline.Nice - 10 < -20 ? -20 : baseline.Nice - 10,
                         IoPriority(kIoClassBestEffort, 0), IoPriority(kIoClassBestEffort, 0));
        case kPriorityRealtime:
            return Raise(-20, IoPriority(kIoClassRealtime, 4), IoPriority(kIoClassBestEffort, 0));
        default: {
            // The I/O priority can always be restored; a raised nice value only with privilege.
            const std::error_code ioError = SetIoPriority(baseline.IoPriority);
            const std::error_code error = SetNice(baseline.Nice);
            return error ? error : ioError;
        }
    }
}

}  // namespace platform
