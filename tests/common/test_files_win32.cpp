#include "common/test_files.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace testing_support {

namespace {

std::wstring Wide(const std::string& text) {
    return NativePath(text).wstring();
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

std::filesystem::path NativePath(const std::string& path) {
    // The library would read a narrow string in the ANSI code page.
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

TempFolder::TempFolder(const std::string& base) {
    const std::filesystem::path folder =
        base.empty() ? std::filesystem::temp_directory_path() : NativePath(base);
    std::mt19937_64 random(std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            folder / ("dopplet-test-" + std::to_string(random() % 1000000000));
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            m_root = Utf8(std::filesystem::canonical(candidate));
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder in " + Utf8(folder));
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Read-only files must become writable again before they can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(NativePath(m_root), ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(NativePath(m_root), ignored);
}

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name) {
    if (const wchar_t* old = _wgetenv(Wide(name).c_str())) {
        m_old = Utf8(old);
    }
    _wputenv_s(Wide(name).c_str(), value ? Wide(*value).c_str() : L"");
}

ScopedEnv::~ScopedEnv() {
    _wputenv_s(Wide(m_name).c_str(), m_old ? Wide(*m_old).c_str() : L"");
}

ScopedTimeZone::ScopedTimeZone(const std::string& zone)
    : m_zone(std::make_unique<ScopedEnv>("TZ", zone)) {
    _tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    m_zone.reset();
    _tzset();
}

void WriteFile(const std::string& path, const std::string& contents) {
    std::filesystem::create_directories(NativePath(path).parent_path());
    std::ofstream out(NativePath(path), std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(NativePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

mode_t ModeOf(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(NativePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return 0;
    }
    return (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0644;
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(NativePath(folder), error)) {
        names.push_back(Utf8(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool GiveUpPrivileges() {
    // Windows has no such step: access rules apply to an administrator's programs too.
    return true;
}

std::string RunWithoutPrivileges(const std::function<std::string()>& check) {
    return check();
}

}  // namespace testing_support
