#pragma once

namespace platform {

// True when the process's standard error goes to a terminal that a person watches.
bool StandardErrorIsTerminal();

}  // namespace platform
