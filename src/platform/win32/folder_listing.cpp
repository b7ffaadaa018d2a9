#include "platform/folder_listing.h"

#include <cstring>
#include <vector>

#include "platform/path.h"
#include "platform/win32/file_identity.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

// One listing call fills this much; a folder takes as many calls as it needs.
constexpr DWORD kBufferSize = 64 * 1024;

// A folder entry as either of the system's two listing forms gives it.
struct RawEntry {
    std::wstring_view Name;
    DWORD Attributes = 0;
    DWORD ReparseTag = 0;
    std::int64_t Size = 0;
    FILE_ID_128 Index{};
};

EntryKind KindOf(const RawEntry& entry) {
    if (entry.Name == L"." || entry.Name == L"..") {
        return EntryKind::Dot;
    }
    // Symbolic links and junctions are neither followed nor added (that also ends link cycles).
    // Other reparse points (files kept in the cloud or deduplicated) hold a file's contents.
    if ((entry.Attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
        IsReparseTagNameSurrogate(entry.ReparseTag)) {
        return EntryKind::Skipped;
    }
    if ((entry.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return EntryKind::Folder;
    }
    // Devices never appear in a folder; anything else is a file with contents.
    return EntryKind::File;
}

RawEntry FromExtended(const FILE_ID_EXTD_DIR_INFO& info) {
    return {std::wstring_view(info.FileName, info.FileNameLength / sizeof(WCHAR)),
            info.FileAttributes, info.ReparsePointTag, info.EndOfFile.QuadPart, info.FileId};
}

RawEntry FromBoth(const FILE_ID_BOTH_DIR_INFO& info) {
    RawEntry entry{std::wstring_view(info.FileName, info.FileNameLength / sizeof(WCHAR)),
                   info.FileAttributes,
                   info.EaSize,
                   info.EndOfFile.QuadPart,
                   {}};
    std::memcpy(entry.Index.Identifier, &info.FileId, sizeof info.FileId);
    return entry;
}

// Reads the next batch of entries of the open folder into `buffer`, in the richest form that the
// file system gives (`extended` starts true and turns false when it refuses the 128-bit form).
// False at the end of the listing, or on an error (in `error`).
bool ReadBatch(HANDLE folder, std::vector<unsigned char>& buffer, bool first, bool& extended,
               std::error_code& error) {
    for (;;) {
        const FILE_INFO_BY_HANDLE_CLASS kind =
            extended ? (first ? FileIdExtdDirectoryRestartInfo : FileIdExtdDirectoryInfo)
                     : (first ? FileIdBothDirectoryRestartInfo : FileIdBothDirectoryInfo);
        if (GetFileInformationByHandleEx(folder, kind, buffer.data(),
                                         static_cast<DWORD>(buffer.size()))) {
            return true;
        }
        const DWORD code = GetLastError();
        if (code == ERROR_NO_MORE_FILES) {
            return false;
        }
        if (extended && first &&
            (code == ERROR_INVALID_PARAMETER || code == ERROR_NOT_SUPPORTED ||
             code == ERROR_INVALID_FUNCTION || code == ERROR_CALL_NOT_IMPLEMENTED)) {
            extended = false;
            continue;
        }
        error = ErrorFrom(code);
        return false;
    }
}

}  // namespace

FolderListing ListFolder(const std::string& folder) {
    FolderListing listing;
    const UniqueHandle handle = OpenNoFollow(folder, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES);
    if (!handle.IsValid()) {
        listing.Error = LastError();
        return listing;
    }
    listing.Identity = IdentityOfHandle(handle.Get(), folder);
    std::uint64_t volume = 0;
    VolumeSerialOf(handle.Get(), volume);
    std::vector<unsigned char> buffer(kBufferSize);
    bool extended = true;
    for (bool first = true; ReadBatch(handle.Get(), buffer, first, extended, listing.Error);
         first = false) {
        std::size_t offset = 0;
        for (;;) {
            const unsigned char* at = buffer.data() + offset;
            const RawEntry raw =
                extended ? FromExtended(*reinterpret_cast<const FILE_ID_EXTD_DIR_INFO*>(at))
                         : FromBoth(*reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at));
            FolderEntry item;
            item.Name = Narrow(raw.Name);
            item.Kind = KindOf(raw);
            if (item.Kind == EntryKind::File || item.Kind == EntryKind::Folder) {
                item.Size = item.Kind == EntryKind::File ? raw.Size : 0;
                item.Identity = IdentityFrom(volume, raw.Index, JoinPath(folder, item.Name));
                // The listing does not tell how many names a file has: "maybe more than one"
                // makes the search compare identities, which is right either way. A file known
                // by its path has no index and so no second name.
                const bool knownByIndex = item.Identity.Device == volume;
                item.Links = knownByIndex ? 2 : 1;
            }
            listing.Entries.push_back(std::move(item));
            // Both forms start with the offset of the next entry.
            const ULONG next = *reinterpret_cast<const ULONG*>(at);
            if (next == 0) {
                break;
            }
            offset += next;
        }
    }
    return listing;
}

int CountFolderEntries(const std::string& folder) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileExW(SystemPath(JoinPath(folder, "*")).c_str(), FindExInfoBasic,
                                         &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : -1;
    }
    int count = 1;
    while (FindNextFileW(find, &data)) {
        ++count;
    }
    FindClose(find);
    return count;
}

}  // namespace platform
