#pragma once

#include <string>
#include <string_view>

namespace platform {

// A path cut at its last "/": the folder ("." when the path has none, "/" for the root) and the
// name after it. Trailing "/" are dropped first.
struct PathParts {
    std::string Folder;
    std::string Name;
};

PathParts SplitPath(std::string_view path);

// `folder` + "/" + `name`, without doubling a "/" that `folder` already ends with.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace platform
