#include "platform/file_reader.h"

#include <algorithm>

#include "platform/win32/file_stamp_win32.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

// True for a file with contents: not a folder, and not a link or junction.
bool IsPlainFile(HANDLE handle) {
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info)) {
        return false;
    }
    if ((info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    return (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
           !IsReparseTagNameSurrogate(info.ReparseTag);
}

}  // namespace

FileReader::FileReader(const char* path) {
    // Sharing everything: a search never keeps the user from deleting or renaming a file.
    const std::string name(path);
    UniqueHandle handle = OpenNoFollow(name, GENERIC_READ, FILE_FLAG_SEQUENTIAL_SCAN);
    if (!handle.IsValid()) {
        m_error = LastError();
        return;
    }
    if (!IsPlainFile(handle.Get())) {
        return;
    }
    const std::optional<FileStamp> stamp = StampOfHandle(handle.Get(), name);
    if (!stamp) {
        m_error = LastError();
        return;
    }
    m_version = *stamp;
    m_handle = reinterpret_cast<std::intptr_t>(handle.Release());
}

void FileReader::Close() {
    if (m_handle >= 0) {
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
        m_handle = -1;
    }
}

void FileReader::AdviseSequential() const {
    // The file was opened for sequential reading already.
}

std::int64_t FileReader::ReadAt(std::int64_t offset, unsigned char* buffer,
                                std::size_t size) const {
    const HANDLE handle = reinterpret_cast<HANDLE>(m_handle);
    std::size_t done = 0;
    while (done < size) {
        const std::int64_t at = offset + static_cast<std::int64_t>(done);
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xFFFFFFFF);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(handle, buffer + done, ask, &got, &where)) {
            if (GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            m_error = LastError();
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return static_cast<std::int64_t>(done);
}

}  // namespace platform
