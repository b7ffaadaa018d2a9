#pragma once

#include <functional>
#include <string>

namespace functest {

// One stop of a traced child process: at the entry of a system call (the call has not run yet)
// or at its exit (it has run).
struct SystemCallStop {
    int Index = 0;  // counted from 0 over the child's run
    bool Entry = false;
    unsigned long long Number = 0;  // the system call's number (SYS_...), at its exit too
};

// True for the system calls that put a file under a new name: rename and link in their forms.
bool GivesAName(unsigned long long number);

// What the tracer does with the child at a stop.
enum class TraceAction { Continue, Kill };

struct TraceResult {
    std::string Failure;  // why the child could not be traced; empty when it was
    int Stops = 0;        // the stops that the child made
    bool Killed = false;  // ended with SIGKILL at a stop
    int ExitCode = -1;    // what `work` returned, when it ran to its end
};

// Runs `work` in a child process that stops at the entry and at the exit of every system call it
// makes. At each stop `atStop` runs in this process while the child waits, and may do to the file
// system what another program would do at that moment, or have the child killed there. Since a
// file changes only inside system calls, killing at every stop in turn tries every state that a
// killed run can leave. `work` must not use the test framework's assertions.
TraceResult RunTraced(const std::function<int()>& work,
                      const std::function<TraceAction(const SystemCallStop&)>& atStop);

}  // namespace functest
