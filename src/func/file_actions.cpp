#include "func/file_actions.h"

#include "platform/trash.h"

namespace func {

FileActions SystemFileActions() {
    return {[](const std::string& path) { return platform::MoveToTrash(path).Error; }};
}

}  // namespace func
