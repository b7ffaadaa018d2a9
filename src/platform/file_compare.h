#pragma once

#include <string>

namespace platform {

// True when both regular files can be read to their end and hold the same bytes. A file that
// cannot be opened or read, or that ends early, makes the answer false.
bool HaveSameBytes(const std::string& a, const std::string& b);

}  // namespace platform
