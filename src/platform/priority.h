#pragma once

#include <system_error>

namespace platform {

// The search priority classes, by the numbers that the settings file stores.
inline constexpr int kPriorityRealtime = 256;
inline constexpr int kPriorityHigh = 128;
inline constexpr int kPriorityNormal = 32;
inline constexpr int kPriorityIdle = 64;

// Sets the CPU and I/O priority of the calling thread (not of the whole process) for a priority
// class. kPriorityIdle lowers both; kPriorityHigh and kPriorityRealtime ask for more and quietly
// keep what the thread has where the system refuses; kPriorityNormal goes back to what the thread
// had before its first change, as far as the system allows (an unprivileged thread cannot take
// back a raised nice value: that gives operation_not_permitted or permission_denied). Any other
// number changes nothing and gives invalid_argument.
std::error_code SetThreadPriorityClass(int priorityClass);

}  // namespace platform
