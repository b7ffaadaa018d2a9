#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace platform {

// Identity of a file on this machine: two paths with the same identity are one file.
struct FileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::uint64_t InodeHigh = 0;  // the upper half of a 128-bit file index, where there is one

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

struct FileIdentityHash {
    std::size_t operator()(const FileIdentity& id) const {
        return std::hash<std::uint64_t>()((id.Inode ^ id.InodeHigh) * 0x9E3779B97F4A7C15ULL ^
                                          id.Device);
    }
};

}  // namespace platform
