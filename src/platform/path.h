#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace platform {

// Paths as the program handles them: byte strings in the system's code page with kSeparator
// between their parts. Every search for the separator steps over multi-byte characters.

// A path cut at its last separator: the folder ("." when the path has none, the root for a file
// in the root) and the name after it. Trailing separators are dropped first.
struct PathParts {
    std::string Folder;
    std::string Name;
};

PathParts SplitPath(std::string_view path);

// The folder that `path` lies in (see SplitPath).
std::string ParentFolder(std::string_view path);

// `folder` and `name` with one separator between them.
std::string JoinPath(std::string_view folder, std::string_view name);

// `folder` with a separator at its end, added when it has none.
std::string WithSeparator(std::string_view folder);

// True for the root folder, the one path that is its own parent.
bool IsRoot(std::string_view path);

// True for a path that does not depend on the current folder.
bool IsAbsolute(std::string_view path);

// The folders from the root down to `folder` itself, without empty or "." parts: "/a/b" gives
// "/", "/a" and "/a/b".
std::vector<std::string> FolderLevels(std::string_view folder);

}  // namespace platform
