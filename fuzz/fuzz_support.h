#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace fuzz {

// Ends the run when a law does not hold, so that libFuzzer keeps the input as a finding.
inline void Require(bool holds, const char* law) {
    if (!holds) {
        std::fprintf(stderr, "law broken: %s\n", law);
        std::abort();
    }
}

// The parts of `data` between the `separator` bytes: n separators give n + 1 parts.
inline std::vector<std::string_view> Split(std::string_view data, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t end = data.find(separator);
        parts.push_back(data.substr(0, end));
        if (end == std::string_view::npos) {
            return parts;
        }
        data.remove_prefix(end + 1);
    }
}

// True when `bytes` are valid UTF-8 from end to end.
inline bool IsUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t codePoint = 0;
        const std::size_t length = platform::DecodeUtf8(bytes, pos, codePoint);
        if (length == 0) {
            return false;
        }
        pos += length;
    }
    return true;
}

inline std::string_view Text(const unsigned char* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzz
