#include "platform/file_system.h"

#include <random>
#include <vector>

#include "platform/path.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

// The attributes of a file that an atomic write carries over to the new file.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The attributes of `path` itself; INVALID_FILE_ATTRIBUTES when nothing is there.
DWORD AttributesOf(const std::string& path) {
    return GetFileAttributesW(SystemPath(path).c_str());
}

// The path that a link at `path` leads to, or `path` itself.
std::string ResolveTarget(const std::string& path) {
    const UniqueHandle handle(CreateFileW(SystemPath(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    if (!handle.IsValid()) {
        return path;
    }
    std::wstring target(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(
            handle.Get(), target.data(), static_cast<DWORD>(target.size()), FILE_NAME_NORMALIZED);
        if (length == 0) {
            return path;
        }
        if (length < target.size()) {
            target.resize(length);
            return Narrow(target);
        }
        target.resize(length);
    }
}

std::error_code WriteAll(HANDLE file, std::string_view contents) {
    while (!contents.empty()) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(contents.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, contents.data(), ask, &written, nullptr)) {
            return LastError();
        }
        contents.remove_prefix(written);
    }
    return {};
}

std::string TemporaryName(const std::string& target, std::mt19937_64& random) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = target + ".tmp-";
    for (int i = 0; i < 8; ++i) {
        name += kLetters[random() % (sizeof kLetters - 1)];
    }
    return name;
}

// Makes a new file beside `target` that holds `contents`, flushed to the disk; its name in
// `temporary`.
std::error_code WriteTemporary(const std::string& target, std::string_view contents,
                               std::string& temporary) {
    std::mt19937_64 random(std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryName(target, random);
        UniqueHandle file(CreateFileW(SystemPath(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid()) {
            if (GetLastError() == ERROR_FILE_EXISTS) {
                continue;
            }
            return LastError();
        }
        std::error_code error = WriteAll(file.Get(), contents);
        if (!error && !FlushFileBuffers(file.Get())) {
            error = LastError();
        }
        file.Reset();
        if (error) {
            DeleteFileW(SystemPath(temporary).c_str());
        }
        return error;
    }
    return std::make_error_code(std::errc::file_exists);
}

}  // namespace

bool Exists(const std::string& path) {
    return AttributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
    const UniqueHandle handle(CreateFileW(SystemPath(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    FILE_BASIC_INFO info{};
    return handle.IsValid() &&
           GetFileInformationByHandleEx(handle.Get(), FileBasicInfo, &info, sizeof info) &&
           (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsWritableFolder(const std::string& path) {
    if (!IsFolder(path)) {
        return false;
    }
    // The folder's access rules are best read by trying: a file that goes again when closed.
    std::mt19937_64 random(std::random_device{}());
    const std::string probe = TemporaryName(JoinPath(path, ".dopplet-write-test"), random);
    const UniqueHandle file(
        CreateFileW(SystemPath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file.IsValid();
}

std::error_code CreateFolderOf(const std::string& path) {
    for (const std::string& level : FolderLevels(ParentFolder(path))) {
        if (!CreateDirectoryW(SystemPath(level).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_ACCESS_DENIED) {
            return LastError();
        }
    }
    return IsFolder(ParentFolder(path)) ? std::error_code()
                                        : std::make_error_code(std::errc::permission_denied);
}

std::error_code WriteFileAtomically(const std::string& path, std::string_view contents) {
    const std::string target = ResolveTarget(path);
    const DWORD attributes = AttributesOf(target);
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return std::make_error_code(std::errc::permission_denied);
    }
    std::string temporary;
    if (const std::error_code error = WriteTemporary(target, contents, temporary)) {
        return error;
    }
    const std::wstring from = SystemPath(temporary);
    if (exists) {
        // The new file keeps what the user set on the old one (hidden, for one).
        SetFileAttributesW(from.c_str(), attributes & kKeptAttributes);
    }
    // One rename that replaces the old file, through to the disk; the C runtime's rename would
    // refuse an existing target.
    if (!MoveFileExW(from.c_str(), SystemPath(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const std::error_code error = LastError();
        DeleteFileW(from.c_str());
        return error;
    }
    return {};
}

std::error_code ReadWholeFile(const std::string& path, std::string& contents) {
    const UniqueHandle file(CreateFileW(SystemPath(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsValid()) {
        return LastError();
    }
    contents.clear();
    std::vector<char> buffer(1 << 16);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                      nullptr)) {
            return LastError();
        }
        if (got == 0) {
            return {};
        }
        contents.append(buffer.data(), got);
    }
}

}  // namespace platform
