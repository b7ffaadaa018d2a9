#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace search {

// Which files and folders a search looks at. The default leaves nothing out.
//
// An exclusion pattern without a separator is matched against the name of each file and folder
// ("*.tmp", "node_modules", ".git"); one with a separator against the whole path
// ("/home/me/cache", "*/build/*.o"). A folder that is left out is not walked at all. The
// targets themselves are always walked.
struct SearchFilter {
    static constexpr std::int64_t kNoLimit = -1;

    std::int64_t MinSize = 0;         // files smaller than this are left out
    std::int64_t MaxSize = kNoLimit;  // files larger than this are left out, unless kNoLimit
    std::vector<std::string> Excluded;
    bool EmptyFiles = true;   // files of 0 bytes
    bool HiddenFiles = true;  // files and folders whose names start with a dot

    // Whether the walk leaves out the file or folder `name` at `path` for its name alone.
    bool LeavesOutName(const std::string& name, const std::string& path) const;
    // Whether the walk leaves out a file of `size` bytes for its size alone.
    bool LeavesOutSize(std::int64_t size) const;
};

}  // namespace search
