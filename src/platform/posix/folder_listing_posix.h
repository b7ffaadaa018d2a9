#pragma once

#include <dirent.h>

#include <functional>
#include <string>

#include "platform/folder_listing.h"

namespace platform {

// readdir(): the next entry, or nullptr at the end or, with errno set, on an error.
using ReadEntry = std::function<dirent*(DIR* dir)>;

// ListFolder with the listing's reads made by `readEntry`, so that a test can make a listing
// break off part way.
FolderListing ListFolderWith(const std::string& folder, const ReadEntry& readEntry);

}  // namespace platform
