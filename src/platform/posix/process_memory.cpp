#include "platform/process_memory.h"

#include <malloc.h>

namespace platform {

void UseOneMemoryArena() {
    mallopt(M_ARENA_MAX, 1);
}

}  // namespace platform
