#include "search/search_filter.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/name_pattern.h"

namespace search {

bool SearchFilter::LeavesOutName(const std::string& name, const std::string& path) const {
    if (!HiddenFiles && name.starts_with('.')) {
        return true;
    }
    return std::any_of(Excluded.begin(), Excluded.end(), [&](const std::string& pattern) {
        const bool wholePath = pattern.find(platform::kSeparator) != std::string::npos;
        return !pattern.empty() && platform::MatchesNamePattern(pattern, wholePath ? path : name);
    });
}

bool SearchFilter::LeavesOutSize(std::int64_t size) const {
    return size < MinSize || (MaxSize != kNoLimit && size > MaxSize) || (!EmptyFiles && size == 0);
}

}  // namespace search
