#include "platform/trash_folders.h"

#include "platform/path.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

// The recycle bin's folders at the top of each volume: "$Recycle.Bin", and "RECYCLER" of older
// systems. Letter case does not count in a name here.
bool IsRecycleBinName(std::string_view name) {
    const std::wstring wide = Widen(name);
    return CompareStringOrdinal(wide.c_str(), -1, L"$Recycle.Bin", -1, TRUE) == CSTR_EQUAL ||
           CompareStringOrdinal(wide.c_str(), -1, L"RECYCLER", -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

std::string HomeTrashPath() {
    // The recycle bin lies at the top of each volume; there is no home trash.
    return {};
}

TrashFolders::TrashFolders() = default;

bool TrashFolders::IsTrash(const std::string& path, std::string_view name,
                           const FileIdentity&) const {
    return IsRecycleBinName(name) && IsRoot(ParentFolder(path));
}

}  // namespace platform
