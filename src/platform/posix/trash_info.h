#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Longest file name that the file systems here take, in bytes.
inline constexpr std::size_t kMaxNameBytes = 255;
inline constexpr std::string_view kTrashInfoExtension = ".trashinfo";

// MoveToTrash tries a file's own name first, then numbered names up to this many tries, then names
// with a random suffix, so that the trash takes any number of files of one name in a few tries.
inline constexpr int kNumberedTrashNames = 10;
// How many names MoveToTrash tries for one file before it gives up.
inline constexpr int kMaxTrashNameAttempts = 30;

// `path` with every byte escaped as %XX except the letters, digits, "-", ".", "_", "~" and "/":
// works on the raw bytes, so a name that is not valid UTF-8 survives.
std::string PercentEncodePath(std::string_view path);

// The contents of a .trashinfo file: the already encoded Path= value and the deletion time,
// written in local time.
std::string TrashInfoText(std::string_view encodedPath, std::time_t deletionTime);

// What try number `attempt` adds to a file's name in the trash: nothing at first, then ".2", ".3",
// ... up to kNumberedTrashNames tries, then "." and eight hex digits of a number from `random`.
std::string TrashNameSuffix(int attempt, const std::function<std::uint32_t()>& random);

// A random number for TrashNameSuffix.
std::uint32_t RandomTrashNameNumber();

// The name under which a file called `name` lies in the trash with `suffix` added before its
// extension ("<stem><suffix><ext>"). Short enough that the name plus ".trashinfo" fits
// kMaxNameBytes; a shortened name is cut between characters, never inside one.
std::string TrashedName(std::string_view name, std::string_view suffix);

}  // namespace platform
