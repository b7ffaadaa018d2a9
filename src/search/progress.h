#pragma once

#include <atomic>
#include <cstdint>

namespace search {

// The progress bar's two counters, shared by the search and the bulk delete (writers) and the
// status bar (reader). No bar is drawn while either is 0. A stale value only affects one drawing.
struct ProgressCounters {
    std::atomic<std::int32_t> Position{0};
    std::atomic<std::int32_t> Total{0};
    // What a search has done so far, for a progress line: files listed, bytes read to compare.
    std::atomic<std::int64_t> FilesSeen{0};
    std::atomic<std::int64_t> BytesCompared{0};

    void Set(std::int32_t position, std::int32_t total) {
        Position.store(position, std::memory_order_relaxed);
        Total.store(total, std::memory_order_relaxed);
    }
};

}  // namespace search
