#pragma once

#include <string>
#include <system_error>

namespace search {

// Why a search could not look at a file or a folder.
enum class SkipReason {
    FolderUnreadable,  // the folder could not be opened or listed, or its listing broke off
    EntryUnreadable,   // an entry of a listed folder could not be looked at
    FileUnreadable,    // the file could not be opened or read to its end
    FileChanged,       // the file changed while its bytes were being compared
};

// A file or a folder that the search left out, and why. `Error` is the system's error where
// there is one (empty for FileChanged).
struct SkippedPath {
    std::string Path;
    SkipReason Reason = SkipReason::FileUnreadable;
    std::error_code Error;
};

}  // namespace search
