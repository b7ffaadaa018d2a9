#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace platform {

// The program keeps paths and texts in UTF-8; the system takes and gives UTF-16. Only the wide
// (-W) calls are used: the ANSI ones would go through the user's code page (932 in Japan), which
// cannot name every file.

// `text` in UTF-16; bytes that are not valid UTF-8 become U+FFFD.
std::wstring Widen(std::string_view text);

// `text` in UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view text);

// `path` as the wide calls take it: "/" turned into "\", and a path too long for the old limit
// of 260 characters made absolute and given the "\\?\" prefix that lifts it.
std::wstring SystemPath(std::string_view path);

// The error of the last failed system call of this thread (see ErrorFrom).
std::error_code LastError();

// A system error code in the program's terms: the common ones as the generic errors that the
// callers compare with (file_exists, no_such_file_or_directory, permission_denied, ...), others
// in the system's category.
std::error_code ErrorFrom(DWORD code);

// A handle that is closed when it goes out of scope.
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }
    // Hands the handle over to the caller, who closes it.
    HANDLE Release() { return std::exchange(m_handle, INVALID_HANDLE_VALUE); }
    void Reset() {
        if (IsValid()) {
            CloseHandle(m_handle);
        }
        m_handle = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

// Every sharing mode: an open handle of this program never keeps the user from reading, writing,
// renaming or deleting the file.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens the file or folder at `path` itself (a final link or junction is not followed) with
// `access`, sharing everything.
UniqueHandle OpenNoFollow(const std::string& path, DWORD access, DWORD flags = 0);

// A FILETIME (100 ns steps since 1601) as seconds and nanoseconds since 1970 (see FileTime).
inline constexpr long long kTicksPerSecond = 10000000;
inline constexpr long long kEpochDifference = 11644473600LL;  // seconds from 1601 to 1970

}  // namespace platform
