#pragma once

#include <optional>
#include <string>
#include <system_error>

#include "platform/trash.h"

namespace platform {

struct MoveResult {
    std::error_code Error;
    std::string NewPath;                  // where the file is now, when Error is clear
    std::optional<TrashedFile> Replaced;  // the same-named file that the move sent to the trash
};

// The category of the error that a move across file systems gives when the target refuses one of
// the file's extended attributes (ACLs included); its values are the system's error numbers.
const std::error_category& AttributeCategory();

// Moves one file into `folder`, keeping its name. A file of that name in `folder` is replaced
// without a question, but goes to the trash first; when it cannot be trashed the move fails and
// nothing changes. Across file systems the file is copied (contents, mode, extended attributes and
// ACLs, times), synced, and only then removed at its old place; a failure, an attribute that the
// target refuses among them, leaves the source where it was. A move into the folder that already
// holds the file succeeds and changes nothing.
MoveResult MoveToFolder(const std::string& source, const std::string& folder);

}  // namespace platform
