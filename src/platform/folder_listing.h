#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_identity.h"

namespace platform {

// What the walk does with a folder entry.
enum class EntryKind {
    Dot,     // "." or "..": the listing's own entries.
    Folder,  // a real folder: walked.
    File,    // a regular file: added.
    Skipped  // symbolic links, FIFOs, sockets, devices, trash folders and entries that vanished.
};

struct FolderEntry {
    std::string Name;
    EntryKind Kind = EntryKind::Skipped;
    std::int64_t Size = 0;
    FileIdentity Identity;
    std::uint64_t Links = 1;  // the number of names of the file (hard links)
    std::error_code Error;    // set when the entry is Skipped because it could not be looked at
};

struct FolderListing {
    std::vector<FolderEntry> Entries;  // in the order in which the file system lists them
    FileIdentity Identity;             // which folder was listed
    // Set when the folder could not be opened (no entries then) or its listing broke off part
    // way (the entries read until then).
    std::error_code Error;
};

// Lists one folder without following symbolic links, whatever the length of its path. The
// folder is closed again before this returns, so a deep walk holds no descriptors open.
FolderListing ListFolder(const std::string& folder);

// Number of names that one listing of the folder gives, "." and ".." included; -1
// when the folder cannot be opened.
int CountFolderEntries(const std::string& folder);

}  // namespace platform
