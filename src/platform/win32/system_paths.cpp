#include "platform/system_paths.h"

// windows.h first: the other system headers build on it.
#include <windows.h>

#include <shlobj.h>

#include "platform/path.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

std::string KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path))) {
        folder = Narrow(path);
    }
    CoTaskMemFree(path);
    return folder;
}

// True when `path` lies inside `folder` (letter case does not count).
bool IsInside(const std::string& path, const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    const std::wstring prefix = Widen(WithSeparator(folder));
    const std::wstring wide = Widen(path);
    return wide.size() >= prefix.size() &&
           CompareStringOrdinal(wide.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::string ProgramFilePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return Narrow(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string HomeFolder() {
    return KnownFolder(FOLDERID_Profile);
}

std::string UserConfigFolder() {
    return KnownFolder(FOLDERID_RoamingAppData);
}

std::string UserDataFolder() {
    return KnownFolder(FOLDERID_LocalAppData);
}

std::string CurrentFolder() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) {
        return {};
    }
    std::wstring buffer(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, buffer.data());
    if (length == 0 || length >= size) {
        return {};
    }
    buffer.resize(length);
    return Narrow(buffer);
}

bool IsUnderSystemPrefix(const std::string& path) {
    return IsInside(path, KnownFolder(FOLDERID_ProgramFiles)) ||
           IsInside(path, KnownFolder(FOLDERID_ProgramFilesX86)) ||
           IsInside(path, KnownFolder(FOLDERID_Windows));
}

}  // namespace platform
