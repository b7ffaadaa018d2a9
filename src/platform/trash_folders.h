#pragma once

#include <string>
#include <string_view>

#include "platform/folder_listing.h"

namespace platform {

// Recognises the trash folders that a search must not walk: what lies there is already deleted.
// Build it once per search: it looks up the home trash at construction.
class TrashFolders {
  public:
    TrashFolders();

    // True when `path` (an entry named `name` that the walk found to be a folder with `identity`)
    // is the home trash, or a ".Trash" or ".Trash-<uid>" folder at the top of a file system.
    bool IsTrash(const std::string& path, std::string_view name,
                 const FileIdentity& identity) const;

  private:
    FileIdentity m_homeTrash;
    bool m_hasHomeTrash = false;
};

// The home trash folder: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
std::string HomeTrashPath();

}  // namespace platform
