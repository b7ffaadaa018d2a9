#include "platform/process_memory.h"

namespace platform {

void UseOneMemoryArena() {
    // The system's heap is one heap for every thread already.
}

}  // namespace platform
