#include "platform/posix/path_parts.h"

namespace platform {

PathParts SplitPath(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {".", std::string(path)};
    }
    if (slash == 0) {
        return {"/", std::string(path.substr(1))};
    }
    return {std::string(path.substr(0, slash)), std::string(path.substr(slash + 1))};
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    if (joined.empty() || joined.back() != '/') {
        joined += '/';
    }
    joined += name;
    return joined;
}

}  // namespace platform
