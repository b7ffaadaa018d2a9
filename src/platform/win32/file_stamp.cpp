#include "platform/file_stamp.h"

#include "platform/win32/file_identity.h"
#include "platform/win32/file_stamp_win32.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

FileTime FromTicks(long long ticks) {
    long long seconds = ticks / kTicksPerSecond;
    long long rest = ticks % kTicksPerSecond;
    if (rest < 0) {
        rest += kTicksPerSecond;
        --seconds;
    }
    return {seconds - kEpochDifference, static_cast<std::int32_t>(rest * 100)};
}

}  // namespace

FileTime TimeOf(const FILETIME& time) {
    return FromTicks(
        static_cast<long long>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime));
}

FileTime TimeOf(const LARGE_INTEGER& time) {
    return FromTicks(time.QuadPart);
}

std::optional<FileStamp> StampOfHandle(HANDLE handle, const std::string& path) {
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard)) {
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.Identity = IdentityOfHandle(handle, path);
    stamp.Size = standard.Directory ? 0 : standard.EndOfFile.QuadPart;
    stamp.Modified = TimeOf(basic.LastWriteTime);
    stamp.Changed = TimeOf(basic.ChangeTime);
    return stamp;
}

std::optional<FileStamp> ReadFileStamp(const std::string& path) {
    const UniqueHandle handle = OpenNoFollow(path, FILE_READ_ATTRIBUTES);
    if (!handle.IsValid()) {
        return std::nullopt;
    }
    return StampOfHandle(handle.Get(), path);
}

LocalDateTime LocalTimeOf(const FileTime& fileTime) {
    const long long ticks =
        (fileTime.Seconds + kEpochDifference) * kTicksPerSecond + fileTime.Nanoseconds / 100;
    if (ticks < 0) {
        return {};
    }
    const FILETIME utc{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
        return {};
    }
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

}  // namespace platform
