#include "platform/path.h"

namespace platform {

PathParts SplitPath(std::string_view path) {
    const CodePage& codePage = SystemCodePage();
    while (path.size() > 1 && codePage.EndsWithChar(path, kSeparator)) {
        path.remove_suffix(1);
    }
    const std::size_t separator = codePage.FindLast(path, kSeparator);
    if (separator == std::string_view::npos) {
        return {".", std::string(path)};
    }
    if (separator == 0) {
        return {std::string(1, kSeparator), std::string(path.substr(1))};
    }
    return {std::string(path.substr(0, separator)), std::string(path.substr(separator + 1))};
}

std::string WithSeparator(std::string_view folder) {
    std::string joined(folder);
    if (joined.empty() || !SystemCodePage().EndsWithChar(joined, kSeparator)) {
        joined += kSeparator;
    }
    return joined;
}

bool IsRoot(std::string_view path) {
    return path == std::string_view(&kSeparator, 1);
}

bool IsAbsolute(std::string_view path) {
    return !path.empty() && path.front() == kSeparator;
}

std::vector<std::string> FolderLevels(std::string_view folder) {
    std::vector<std::string> levels{std::string(1, kSeparator)};
    std::string current;
    std::size_t pos = 0;
    while (pos <= folder.size()) {
        std::size_t next = folder.find(kSeparator, pos);
        if (next == std::string_view::npos) {
            next = folder.size();
        }
        const std::string_view part = folder.substr(pos, next - pos);
        if (!part.empty() && part != ".") {
            current += kSeparator;
            current += part;
            levels.push_back(current);
        }
        pos = next + 1;
    }
    return levels;
}

}  // namespace platform
