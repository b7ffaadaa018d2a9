#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace platform {

// Longest file name that the file systems here take, in bytes.
inline constexpr std::size_t kMaxNameBytes = 255;
inline constexpr std::string_view kTrashInfoExtension = ".trashinfo";

// How many names MoveToTrash tries for one file before it gives up.
inline constexpr int kMaxTrashNameAttempts = 1000;

// `path` with every byte escaped as %XX except the letters, digits, "-", ".", "_", "~" and "/":
// works on the raw bytes, so a name that is not valid UTF-8 survives.
std::string PercentEncodePath(std::string_view path);

// The contents of a .trashinfo file: the already encoded Path= value and the deletion time,
// written in local time.
std::string TrashInfoText(std::string_view encodedPath, std::time_t deletionTime);

// The name under which a file called `name` lies in the trash at try number `attempt` (0: its own
// name, then "<stem>.2<ext>", "<stem>.3<ext>", ...). Short enough that the name plus ".trashinfo"
// fits kMaxNameBytes; a shortened name is cut between characters, never inside one.
std::string TrashedName(std::string_view name, int attempt);

}  // namespace platform
