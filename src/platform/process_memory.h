#pragma once

namespace platform {

// Lets every thread of the process allocate from one heap arena: for a program whose threads
// allocate little and seldom, an arena of their own each would only add to its resident memory.
void UseOneMemoryArena();

}  // namespace platform
