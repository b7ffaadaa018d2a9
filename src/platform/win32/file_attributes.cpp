#include "platform/file_attributes.h"

#include "platform/path.h"
#include "platform/win32/file_stamp_win32.h"
#include "platform/win32/wide.h"

namespace platform {

FileAttributesResult ReadFileAttributes(const std::string& path) {
    FileAttributesResult result;
    // The folder's listing of the file gives the attributes with its short (8.3) name.
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileExW(SystemPath(path).c_str(), FindExInfoStandard, &data,
                                         FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        result.Error = LastError();
        return result;
    }
    FindClose(find);
    FileAttributes& attributes = result.Attributes;
    attributes.Name = SplitPath(path).Name;
    attributes.ShortName = data.cAlternateFileName[0] != L'\0' ? Narrow(data.cAlternateFileName)
                                                               : Narrow(data.cFileName);
    const DWORD flags = data.dwFileAttributes;
    attributes.IsFolder = (flags & FILE_ATTRIBUTE_DIRECTORY) != 0;
    attributes.Size = attributes.IsFolder
                          ? 0
                          : static_cast<std::int64_t>((std::uint64_t{data.nFileSizeHigh} << 32) |
                                                      data.nFileSizeLow);
    attributes.Modified = TimeOf(data.ftLastWriteTime);
    attributes.Accessed = TimeOf(data.ftLastAccessTime);
    attributes.Created = TimeOf(data.ftCreationTime);
    attributes.ReadOnly = (flags & FILE_ATTRIBUTE_READONLY) != 0;
    attributes.Hidden = (flags & FILE_ATTRIBUTE_HIDDEN) != 0;
    attributes.Archive = (flags & FILE_ATTRIBUTE_ARCHIVE) != 0;
    attributes.System = (flags & FILE_ATTRIBUTE_SYSTEM) != 0;
    attributes.Compressed = (flags & FILE_ATTRIBUTE_COMPRESSED) != 0;
    return result;
}

}  // namespace platform
