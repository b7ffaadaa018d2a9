#include "platform/win32/file_identity.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/win32/wide.h"

namespace platform {

namespace {

// Identities made from paths carry this volume, which no real volume's serial number together
// with a high index half of all ones takes.
constexpr std::uint64_t kPathVolume = ~std::uint64_t{0};

std::uint64_t Low(const FILE_ID_128& id) {
    std::uint64_t low = 0;
    std::memcpy(&low, id.Identifier, sizeof low);
    return low;
}

std::uint64_t High(const FILE_ID_128& id) {
    std::uint64_t high = 0;
    std::memcpy(&high, id.Identifier + sizeof(std::uint64_t), sizeof high);
    return high;
}

bool IsZero(const FILE_ID_128& id) {
    return Low(id) == 0 && High(id) == 0;
}

// A number per path, the same for every spelling of one path (letter case, "/" or "\", "..").
std::uint64_t PathNumber(const std::string& path) {
    std::wstring key = SystemPath(path);
    if (!key.starts_with(L"\\\\?\\")) {
        wchar_t full[MAX_PATH];
        const DWORD length = GetFullPathNameW(key.c_str(), MAX_PATH, full, nullptr);
        if (length > 0 && length < MAX_PATH) {
            key.assign(full, length);
        }
    }
    CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    static std::mutex mutex;
    static std::unordered_map<std::wstring, std::uint64_t> numbers;
    const std::lock_guard lock(mutex);
    return numbers.try_emplace(key, numbers.size() + 1).first->second;
}

}  // namespace

bool VolumeSerialOf(HANDLE handle, std::uint64_t& volume) {
    FILE_ID_INFO info{};
    if (GetFileInformationByHandleEx(handle, FileIdInfo, &info, sizeof info)) {
        volume = info.VolumeSerialNumber;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION basic{};
    if (GetFileInformationByHandle(handle, &basic)) {
        volume = basic.dwVolumeSerialNumber;
        return true;
    }
    return false;
}

FileIdentity IdentityFrom(std::uint64_t volume, const FILE_ID_128& index, const std::string& path) {
    if (IsZero(index)) {
        return {kPathVolume, PathNumber(path), kPathVolume};
    }
    return {volume, Low(index), High(index)};
}

FileIdentity IdentityOfHandle(HANDLE handle, const std::string& path) {
    FILE_ID_INFO info{};
    if (GetFileInformationByHandleEx(handle, FileIdInfo, &info, sizeof info)) {
        return IdentityFrom(info.VolumeSerialNumber, info.FileId, path);
    }
    BY_HANDLE_FILE_INFORMATION basic{};
    FILE_ID_128 index{};
    std::uint64_t volume = 0;
    if (GetFileInformationByHandle(handle, &basic)) {
        const std::uint64_t low =
            (std::uint64_t{basic.nFileIndexHigh} << 32) | std::uint64_t{basic.nFileIndexLow};
        std::memcpy(index.Identifier, &low, sizeof low);
        volume = basic.dwVolumeSerialNumber;
    }
    return IdentityFrom(volume, index, path);
}

}  // namespace platform
