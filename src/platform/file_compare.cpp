#include "platform/file_compare.h"

#include <cstring>
#include <memory>

#include "platform/file_reader.h"

namespace platform {

bool HaveSameBytes(const std::string& a, const std::string& b) {
    const FileReader first(a);
    const FileReader second(b);
    if (!first.IsOpen() || !second.IsOpen() || first.Size() != second.Size()) {
        return false;
    }
    constexpr std::size_t kChunk = 256 * 1024;
    const auto buffers = std::make_unique<unsigned char[]>(2 * kChunk);
    unsigned char* const left = buffers.get();
    unsigned char* const right = left + kChunk;
    for (std::int64_t offset = 0;;) {
        const std::int64_t got = first.ReadAt(offset, left, kChunk);
        if (got < 0 || second.ReadAt(offset, right, kChunk) != got) {
            return false;
        }
        if (got == 0) {
            // Both ended together; a file that ended before its size as opened was cut short.
            return offset == first.Size();
        }
        if (std::memcmp(left, right, static_cast<std::size_t>(got)) != 0) {
            return false;
        }
        offset += got;
    }
}

}  // namespace platform
