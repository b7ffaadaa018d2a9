#include "platform/win32/wide.h"

#include <cerrno>
#include <vector>

namespace platform {

namespace {

// Paths from this length on need the "\\?\" prefix; a folder's path must leave room for a
// file name of 8.3 characters within the old limit of 260.
constexpr std::size_t kLongPath = MAX_PATH - 12;

bool HasExtendedPrefix(std::wstring_view path) {
    return path.starts_with(L"\\\\?\\") || path.starts_with(L"\\??\\");
}

std::wstring FullPath(const std::wstring& path) {
    std::wstring full(path.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return path;
        }
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

}  // namespace

std::wstring Widen(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::wstring SystemPath(std::string_view path) {
    std::wstring wide = Widen(path);
    if (HasExtendedPrefix(wide)) {
        return wide;
    }
    for (wchar_t& c : wide) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (wide.size() < kLongPath) {
        return wide;
    }
    // The prefix turns off the system's clean-up of the path: "." and ".." are resolved here.
    std::wstring full = FullPath(wide);
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

std::error_code LastError() {
    return ErrorFrom(GetLastError());
}

std::error_code ErrorFrom(DWORD code) {
    switch (code) {
        case ERROR_SUCCESS:
            return {};
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return std::make_error_code(std::errc::no_such_file_or_directory);
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return std::make_error_code(std::errc::file_exists);
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD:
            return std::make_error_code(std::errc::permission_denied);
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return std::make_error_code(std::errc::device_or_resource_busy);
        case ERROR_TOO_MANY_OPEN_FILES:
            return std::make_error_code(std::errc::too_many_files_open);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return std::make_error_code(std::errc::not_enough_memory);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return std::make_error_code(std::errc::no_space_on_device);
        case ERROR_NOT_SAME_DEVICE:
            return std::make_error_code(std::errc::cross_device_link);
        case ERROR_DIR_NOT_EMPTY:
            return std::make_error_code(std::errc::directory_not_empty);
        case ERROR_DIRECTORY:
            return std::make_error_code(std::errc::not_a_directory);
        case ERROR_FILENAME_EXCED_RANGE:
            return std::make_error_code(std::errc::filename_too_long);
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_PARAMETER:
            return std::make_error_code(std::errc::invalid_argument);
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
            return std::make_error_code(std::errc::not_supported);
        case ERROR_CANCELLED:
            return std::make_error_code(std::errc::operation_canceled);
        default:
            return {static_cast<int>(code), std::system_category()};
    }
}

UniqueHandle OpenNoFollow(const std::string& path, DWORD access, DWORD flags) {
    return UniqueHandle(
        CreateFileW(SystemPath(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT | flags, nullptr));
}

}  // namespace platform
