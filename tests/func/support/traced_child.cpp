#include "support/traced_child.h"

#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace functest {

namespace {

constexpr int kCannotTrace = 113;

// Waits for the child's next stop or end; false once it has ended.
bool WaitForStop(pid_t child, int& status, TraceResult& result) {
    while (waitpid(child, &status, 0) < 0) {
    }
    if (WIFEXITED(status)) {
        result.ExitCode = WEXITSTATUS(status);
        return false;
    }
    if (WIFSIGNALED(status)) {
        result.Killed = WTERMSIG(status) == SIGKILL;
        return false;
    }
    return true;
}

}  // namespace

bool GivesAName(unsigned long long number) {
    switch (static_cast<long>(number)) {
#ifdef SYS_rename
        case SYS_rename:
#endif
#ifdef SYS_link
        case SYS_link:
#endif
        case SYS_renameat:
        case SYS_renameat2:
        case SYS_linkat:
            return true;
        default:
            return false;
    }
}

TraceResult RunTraced(const std::function<int()>& work,
                      const std::function<TraceAction(const SystemCallStop&)>& atStop) {
    TraceResult result;
    const pid_t child = fork();
    if (child < 0) {
        result.Failure = "fork failed";
        return result;
    }
    if (child == 0) {
        if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) {
            _exit(kCannotTrace);
        }
        raise(SIGSTOP);
        _exit(work());
    }

    int status = 0;
    if (!WaitForStop(child, status, result) || WSTOPSIG(status) != SIGSTOP) {
        result.Failure = "the child could not be traced";
        return result;
    }
    ptrace(PTRACE_SETOPTIONS, child, nullptr,
           reinterpret_cast<void*>(PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL));
    int signal = 0;
    unsigned long long number = 0;
    for (;;) {
        ptrace(PTRACE_SYSCALL, child, nullptr, reinterpret_cast<void*>(static_cast<long>(signal)));
        if (!WaitForStop(child, status, result)) {
            return result;
        }
        signal = 0;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            signal = WSTOPSIG(status);  // a signal of the child's own: handed on
            continue;
        }
        __ptrace_syscall_info info{};
        ptrace(PTRACE_GET_SYSCALL_INFO, child, reinterpret_cast<void*>(sizeof info), &info);
        SystemCallStop stop;
        stop.Index = result.Stops++;
        stop.Entry = info.op == PTRACE_SYSCALL_INFO_ENTRY;
        if (stop.Entry) {
            number = info.entry.nr;
        }
        stop.Number = number;
        if (atStop(stop) == TraceAction::Kill) {
            kill(child, SIGKILL);
            while (WaitForStop(child, status, result)) {
            }
            return result;
        }
    }
}

}  // namespace functest
