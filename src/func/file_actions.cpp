#include "func/file_actions.h"

#include "platform/trash.h"

namespace func {

FileActions SystemFileActions() {
    return {
        [](const std::string& path) { return platform::MoveToTrash(path); },
        [](const platform::TrashedFile& trashed) { return platform::RestoreFromTrash(trashed); },
        [](const std::string& source, const std::string& folder) {
            return platform::MoveToFolder(source, folder);
        },
    };
}

}  // namespace func
