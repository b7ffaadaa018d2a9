#include "platform/name_pattern.h"

#include <fnmatch.h>

namespace platform {

bool MatchesNamePattern(const std::string& pattern, const std::string& text) {
    // Without FNM_PATHNAME and FNM_PERIOD, a star also crosses separators and matches a
    // leading dot; fnmatch steps over the multi-byte characters of the locale.
    return fnmatch(pattern.c_str(), text.c_str(), 0) == 0;
}

}  // namespace platform
