// The path helpers on any bytes. The input: a path, and after a line feed a name to join to it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "platform/path.h"

namespace {

using fuzz::Require;
using platform::kSeparator;

const std::string kRoot(1, kSeparator);

// `path` without the separators at its end, the root excepted.
std::string_view WithoutFinalSeparators(std::string_view path) {
    while (path.size() > 1 && path.back() == kSeparator) {
        path.remove_suffix(1);
    }
    return path;
}

// Splitting and joining undo each other.
void CheckSplit(std::string_view path) {
    const platform::PathParts parts = platform::SplitPath(path);
    const std::string_view trimmed = WithoutFinalSeparators(path);
    Require(parts.Name.find(kSeparator) == std::string::npos, "a name holds no separator");
    Require(platform::ParentFolder(path) == parts.Folder, "the parent is the split's folder");
    if (trimmed.find(kSeparator) == std::string_view::npos) {
        Require(parts.Folder == "." && parts.Name == trimmed, "a bare name lies in \".\"");
    } else if (parts.Folder == kRoot && trimmed.size() == parts.Name.size() + 1) {
        Require(trimmed == kRoot + parts.Name, "a name in the root follows the root");
    } else {
        Require(trimmed == parts.Folder + kRoot + parts.Name,
                "the folder, a separator and the name give the path");
    }
}

void CheckJoin(std::string_view folder, std::string_view name) {
    const std::string withSeparator = platform::WithSeparator(folder);
    Require(!withSeparator.empty() && withSeparator.back() == kSeparator,
            "a folder with a separator ends in one");
    Require(platform::WithSeparator(withSeparator) == withSeparator,
            "adding the separator twice adds it once");
    const std::string joined = platform::JoinPath(folder, name);
    Require(joined == withSeparator + std::string(name), "a join puts one separator between");
    if (!name.empty() && name.find(kSeparator) == std::string_view::npos && !folder.empty() &&
        (folder == kRoot || folder.back() != kSeparator)) {
        const platform::PathParts parts = platform::SplitPath(joined);
        Require(parts.Folder == folder && parts.Name == name, "a split undoes a join");
    }
}

// The levels climb from the root to the folder one part at a time, each the parent of the next.
void CheckLevels(std::string_view folder) {
    const std::vector<std::string> levels = platform::FolderLevels(folder);
    Require(!levels.empty() && platform::IsRoot(levels.front()), "the levels start at the root");
    for (std::size_t i = 1; i < levels.size(); ++i) {
        const std::string& level = levels[i];
        Require(platform::IsAbsolute(level) && level.back() != kSeparator &&
                    level.find("//") == std::string::npos &&
                    level.find("/./") == std::string::npos && !level.ends_with("/."),
                "a level is an absolute path without empty or \".\" parts");
        Require(platform::ParentFolder(level) == levels[i - 1],
                "each level lies in the one before");
    }
    std::string parts;
    for (const std::string_view part : fuzz::Split(folder, kSeparator)) {
        if (!part.empty() && part != ".") {
            parts += kSeparator;
            parts += part;
        }
    }
    Require(levels.back() == (parts.empty() ? kRoot : parts), "the last level is the folder");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::Text(data, size);
    const std::size_t lineEnd = std::min(input.find('\n'), input.size());
    const std::string_view path = input.substr(0, lineEnd);
    const std::string_view name = input.substr(std::min(lineEnd + 1, input.size()));
    CheckSplit(path);
    CheckSplit(input);
    CheckJoin(path, name);
    CheckLevels(path);
    Require(platform::IsAbsolute(path) == path.starts_with(kSeparator),
            "absolute is from the root");
    return 0;
}
