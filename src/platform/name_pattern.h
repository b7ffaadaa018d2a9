#pragma once

#include <string>

namespace platform {

// True when `text` matches the shell-style `pattern`: "*" stands for any run of characters,
// separators included, "?" for any one character, "[...]" for one of a set; case counts.
bool MatchesNamePattern(const std::string& pattern, const std::string& text);

}  // namespace platform
