#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/folder_listing.h"
#include "search/result_table.h"

namespace search {

// A file of a name group as the search found it.
struct FoundFile {
    std::string Path;
    std::int64_t Size = 0;
    platform::FileIdentity Identity;
};

// For each of `files`, whether it holds the bytes of files[0]. A file of another size is
// Different without being read; the others are compared byte for byte with the first, each read
// once (the first once per batch of files that are open together). Unknown for a file that is
// no longer the one found or cannot be read to its end, for every file compared with a first
// that cannot, and for those still open when `stop` says so. The first is Same when it could be
// read (or had nothing to be compared with). `bytesRead` counts what was read.
std::vector<ContentMatch> MatchFirstContents(const std::vector<FoundFile>& files,
                                             const std::function<bool()>& stop,
                                             std::atomic<std::int64_t>& bytesRead);

}  // namespace search
