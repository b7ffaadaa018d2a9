#include "platform/priority.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <functional>
#include <thread>

namespace {

constexpr int kIoClassShift = 13;
constexpr int kIoClassRealtime = 1;
constexpr int kIoClassBestEffort = 2;
constexpr int kIoClassIdle = 3;

struct Observed {
    int Nice = 0;
    int IoClass = 0;
    int IoLevel = 0;
};

Observed ObserveThread(pid_t tid) {
    Observed observed;
    errno = 0;
    observed.Nice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
    EXPECT_EQ(errno, 0);
    const long ioPriority = syscall(SYS_ioprio_get, 1, tid);
    EXPECT_GE(ioPriority, 0);
    observed.IoClass = static_cast<int>(ioPriority >> kIoClassShift);
    observed.IoLevel = static_cast<int>(ioPriority & ((1 << kIoClassShift) - 1));
    return observed;
}

Observed ObserveSelf() {
    return ObserveThread(gettid());
}

// Each test changes a thread of its own, so the test runner's thread keeps its priority.
void OnFreshThread(const std::function<void()>& body) {
    std::thread(body).join();
}

// Drops the calling thread's right to raise priorities (capabilities are per thread on Linux),
// so that the unprivileged path is tested even when the tests run as root.
void DropPriorityPrivilege() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    ASSERT_EQ(syscall(SYS_capget, &header, data), 0);
    for (int capability : {CAP_SYS_NICE, CAP_SYS_ADMIN, CAP_SYS_RESOURCE}) {
        data[capability / 32].effective &= ~(1U << (capability % 32));
        data[capability / 32].permitted &= ~(1U << (capability % 32));
    }
    ASSERT_EQ(syscall(SYS_capset, &header, data), 0);
}

bool IsRefusal(std::error_code error) {
    return error == std::errc::operation_not_permitted || error == std::errc::permission_denied;
}

TEST(ThreadPriority, IdleLowersCpuAndIoOfTheCallingThreadOnly) {
    const Observed runner = ObserveSelf();
    const pid_t runnerTid = gettid();
    OnFreshThread([&] {
        EXPECT_FALSE(platform::SetThreadPriorityClass(platform::kPriorityIdle));
        const Observed after = ObserveSelf();
        EXPECT_EQ(after.Nice, 19);
        EXPECT_EQ(after.IoClass, kIoClassIdle);

        const Observed other = ObserveThread(runnerTid);
        EXPECT_EQ(other.Nice, runner.Nice);
        EXPECT_EQ(other.IoClass, runner.IoClass);
    });
}

TEST(ThreadPriority, NormalAfterIdleRestoresIoAndNiceWhereAllowed) {
    OnFreshThread([] {
        const Observed before = ObserveSelf();
        ASSERT_FALSE(platform::SetThreadPriorityClass(platform::kPriorityIdle));
        const std::error_code error = platform::SetThreadPriorityClass(platform::kPriorityNormal);
        const Observed after = ObserveSelf();
        EXPECT_EQ(after.IoClass, before.IoClass);
        EXPECT_EQ(after.IoLevel, before.IoLevel);
        if (error) {
            // Without privilege a nice value that went up stays up: reported, not hidden.
            EXPECT_TRUE(IsRefusal(error)) << error.message();
            EXPECT_EQ(after.Nice, 19);
        } else {
            EXPECT_EQ(after.Nice, before.Nice);
        }
    });
}

TEST(ThreadPriority, HigherClassesAskForMoreAndGoBackToNormal) {
    struct Case {
        int PriorityClass;
        int PrivilegedNice;
        int PrivilegedIoClass;
    };
    const Case cases[] = {
        {platform::kPriorityHigh, -10, kIoClassBestEffort},
        {platform::kPriorityRealtime, -20, kIoClassRealtime},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.PriorityClass);
        OnFreshThread([&] {
            const Observed before = ObserveSelf();
            EXPECT_FALSE(platform::SetThreadPriorityClass(c.PriorityClass));
            const Observed after = ObserveSelf();
            EXPECT_TRUE(after.Nice == c.PrivilegedNice || after.Nice == before.Nice) << after.Nice;
            EXPECT_TRUE(after.IoClass == c.PrivilegedIoClass ||
                        (after.IoClass == kIoClassBestEffort && after.IoLevel == 0))
                << after.IoClass;

            // Back to normal: a privileged thread gets its old values again.
            const std::error_code error =
                platform::SetThreadPriorityClass(platform::kPriorityNormal);
            EXPECT_FALSE(error) << error.message();
            const Observed restored = ObserveSelf();
            EXPECT_EQ(restored.Nice, before.Nice);
            EXPECT_EQ(restored.IoClass, before.IoClass);
        });
    }
}

TEST(ThreadPriority, WithoutPrivilegeRaisingStaysNormalAndIdleCannotBeFullyUndone) {
    OnFreshThread([] {
        DropPriorityPrivilege();
        rlimit niceLimit{};
        ASSERT_EQ(getrlimit(RLIMIT_NICE, &niceLimit), 0);
        const Observed before = ObserveSelf();
        if (niceLimit.rlim_cur > static_cast<rlim_t>(20 - before.Nice)) {
            GTEST_SKIP() << "RLIMIT_NICE lets this thread raise its priority";
        }
        for (int priorityClass : {platform::kPriorityRealtime, platform::kPriorityHigh}) {
            SCOPED_TRACE(priorityClass);
            EXPECT_FALSE(platform::SetThreadPriorityClass(priorityClass));
            const Observed after = ObserveSelf();
            EXPECT_EQ(after.Nice, before.Nice);
            EXPECT_NE(after.IoClass, kIoClassRealtime);
        }
        ASSERT_FALSE(platform::SetThreadPriorityClass(platform::kPriorityIdle));
        const std::error_code error = platform::SetThreadPriorityClass(platform::kPriorityNormal);
        EXPECT_TRUE(IsRefusal(error)) << error.message();
        const Observed after = ObserveSelf();
        EXPECT_EQ(after.Nice, 19);
        EXPECT_EQ(after.IoClass, before.IoClass);
        EXPECT_EQ(after.IoLevel, before.IoLevel);
    });
}

TEST(ThreadPriority, UnknownClassChangesNothing) {
    for (int priorityClass : {0, 16384, -1}) {
        SCOPED_TRACE(priorityClass);
        OnFreshThread([&] {
            const Observed before = ObserveSelf();
            EXPECT_EQ(platform::SetThreadPriorityClass(priorityClass),
                      std::make_error_code(std::errc::invalid_argument));
            const Observed after = ObserveSelf();
            EXPECT_EQ(after.Nice, before.Nice);
            EXPECT_EQ(after.IoClass, before.IoClass);
        });
    }
}

}  // namespace
