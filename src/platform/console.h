#pragma once

#include <string>
#include <vector>

namespace platform {

// What a command-line program needs of its console, the same on every system.

// The program's arguments, without its own name, in the program's encoding (UTF-8 where the
// system hands them over in another one). `argc` and `argv` are main's.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// True when the process's standard output is open.
bool StandardOutputIsOpen();

// Makes standard output carry the program's bytes as they are (no line-end or code-page
// translation), and lets standard error show the progress line's control sequences.
void PrepareStandardStreams();

// From now on an interrupt from the keyboard (Ctrl+C) only sets a flag that WasInterrupted reads.
void CatchInterrupt();

// True once the user has interrupted the program (see CatchInterrupt).
bool WasInterrupted();

}  // namespace platform
