#include "platform/path.h"

namespace platform {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The length of "server\share\" (or "server\share" at the end) from `start` of `path`; 0 when
// there is no share name.
std::size_t ShareRootEnd(std::string_view path, std::size_t start) {
    std::size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) {
        ++end;
    }
    if (end == start || end + 1 >= path.size()) {
        return 0;
    }
    ++end;
    while (end < path.size() && !IsSeparator(path[end])) {
        ++end;
    }
    return end < path.size() ? end + 1 : end;
}

// The length of the root at the start of `path`, its separator included: "C:\" (3),
// "\\server\share\", "\\?\C:\" and "\\?\UNC\server\share\"; 0 when the path has none. In UTF-8
// no byte of a multi-byte character is an ASCII character, so separators are found bytewise.
std::size_t RootLength(std::string_view path) {
    std::size_t prefix = 0;
    if (path.starts_with("\\\\?\\")) {
        prefix = 4;
        if (path.substr(prefix).starts_with("UNC\\")) {
            return ShareRootEnd(path, prefix + 4);
        }
    }
    const std::string_view rest = path.substr(prefix);
    if (rest.size() >= 3 && IsDriveLetter(rest[0]) && rest[1] == ':' && IsSeparator(rest[2])) {
        return prefix + 3;
    }
    if (prefix == 0 && path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        return ShareRootEnd(path, 2);
    }
    return 0;
}

std::size_t FindLastSeparator(std::string_view path) {
    const std::size_t pos = path.find_last_of("\\/");
    return pos;
}

}  // namespace

PathParts SplitPath(std::string_view path) {
    const std::size_t root = RootLength(path);
    while (path.size() > std::max<std::size_t>(root, 1) && IsSeparator(path.back())) {
        path.remove_suffix(1);
    }
    const std::size_t separator = FindLastSeparator(path);
    if (separator == std::string_view::npos) {
        return {".", std::string(path)};
    }
    if (separator + 1 <= root) {
        return {std::string(path.substr(0, root)), std::string(path.substr(root))};
    }
    return {std::string(path.substr(0, separator)), std::string(path.substr(separator + 1))};
}

std::string WithSeparator(std::string_view folder) {
    std::string joined(folder);
    if (joined.empty() || !IsSeparator(joined.back())) {
        joined += kSeparator;
    }
    return joined;
}

bool IsRoot(std::string_view path) {
    const std::size_t root = RootLength(path);
    return root > 0 &&
           (root == path.size() || (root + 1 == path.size() && IsSeparator(path.back())));
}

bool IsAbsolute(std::string_view path) {
    return RootLength(path) > 0;
}

std::vector<std::string> FolderLevels(std::string_view folder) {
    const std::size_t root = RootLength(folder);
    std::vector<std::string> levels;
    std::string current;
    if (root > 0) {
        current = std::string(folder.substr(0, root));
        for (char& c : current) {
            if (c == '/') {
                c = kSeparator;
            }
        }
        levels.push_back(current);
    }
    std::size_t pos = root;
    while (pos <= folder.size()) {
        std::size_t next = folder.find_first_of("\\/", pos);
        if (next == std::string_view::npos) {
            next = folder.size();
        }
        const std::string_view part = folder.substr(pos, next - pos);
        if (!part.empty() && part != ".") {
            if (!current.empty() && current.back() != kSeparator) {
                current += kSeparator;
            }
            current += part;
            levels.push_back(current);
        }
        pos = next + 1;
    }
    return levels;
}

}  // namespace platform
