#pragma once

#include <string>

namespace functest {

// What can happen to a file between the search and an operation on it.
enum class Disturbance { None, Vanished, Grown, Touched, Replaced, Rewritten };

// Does `disturbance` to the file at `path`: removes it, makes it longer, gives it another
// modification time, puts another file with the same bytes and times in its place (only its
// identity differs), or writes other bytes of the same length into it and puts its modification
// time back to the nanosecond (only its change time tells).
void Disturb(const std::string& path, Disturbance disturbance);

}  // namespace functest
