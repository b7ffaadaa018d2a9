#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace platform {

// True when something, even a dangling symbolic link, is at `path`.
bool Exists(const std::string& path);

// True when `path` is a folder (a symbolic link to one counts).
bool IsFolder(const std::string& path);

// True when the user may create and remove files in the folder `path`.
bool IsWritableFolder(const std::string& path);

// Creates the folder that `path` lies in, with the folders above it, where missing; the folders
// made are private to the user.
std::error_code CreateFolderOf(const std::string& path);

// Renames `from` to `to`. Never replaces: when `to` exists, fails with EEXIST and changes nothing.
// A name that differs from the old one only in letter case is a rename like any other.
std::error_code RenameNoReplace(const std::string& from, const std::string& to);

// Replaces the file at `path` with `contents`, or creates it: the bytes go to a new temporary file
// in the same folder, reach the disk, and only then take the place of the old file in one rename.
// On any failure the old file stays as it was and the temporary file is removed. An existing
// file's permissions are kept; a symbolic link is followed, so its target is replaced. An existing
// file that may not be written is not replaced (the error says why); one that may be written in a
// folder where no temporary file can be made is rewritten in place, which is not all or nothing:
// a failed write puts the old bytes back, but a process killed during the write may leave the new
// bytes over the start of the old ones.
std::error_code WriteFileAtomically(const std::string& path, std::string_view contents);

// Reads a whole file. ENOENT when it does not exist.
std::error_code ReadWholeFile(const std::string& path, std::string& contents);

}  // namespace platform
