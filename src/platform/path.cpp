// The path functions that are the same on every system; the system's own half splits paths and
// adds separators.

#include "platform/path.h"

namespace platform {

std::string ParentFolder(std::string_view path) {
    return SplitPath(path).Folder;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    return WithSeparator(folder) + std::string(name);
}

}  // namespace platform
