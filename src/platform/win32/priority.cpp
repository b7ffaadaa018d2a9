#include "platform/priority.h"

#include "platform/win32/wide.h"

namespace platform {

namespace {

// True once this thread's CPU and I/O priority were lowered as a whole (background mode).
thread_local bool t_inBackground = false;

std::error_code LeaveBackground() {
    if (t_inBackground) {
        if (!SetThreadPriority(GetCurrentThread(), THREAD_MODE_BACKGROUND_END)) {
            return LastError();
        }
        t_inBackground = false;
    }
    return {};
}

}  // namespace

std::error_code SetThreadPriorityClass(int priorityClass) {
    const HANDLE self = GetCurrentThread();
    switch (priorityClass) {
        case kPriorityIdle:
            // Background mode lowers the thread's CPU, I/O and memory priority together.
            if (!t_inBackground) {
                if (!SetThreadPriority(self, THREAD_MODE_BACKGROUND_BEGIN)) {
                    return LastError();
                }
                t_inBackground = true;
            }
            SetThreadPriority(self, THREAD_PRIORITY_IDLE);
            return {};
        case kPriorityNormal:
            if (const std::error_code error = LeaveBackground()) {
                return error;
            }
            return SetThreadPriority(self, THREAD_PRIORITY_NORMAL) ? std::error_code()
                                                                   : LastError();
        case kPriorityHigh:
        case kPriorityRealtime:
            // Asks for more and quietly keeps what the thread has where the system refuses.
            LeaveBackground();
            SetThreadPriority(self, priorityClass == kPriorityHigh ? THREAD_PRIORITY_ABOVE_NORMAL
                                                                   : THREAD_PRIORITY_HIGHEST);
            return {};
        default:
            return std::make_error_code(std::errc::invalid_argument);
    }
}

}  // namespace platform
