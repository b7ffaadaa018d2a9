#include "platform/system_paths.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace platform {

namespace {

// An environment variable that holds an absolute path; empty otherwise.
std::string AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

}  // namespace

std::string ProgramFilePath() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? std::string(home) : std::string();
}

std::string UserConfigFolder() {
    const std::string configHome = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    return configHome.empty() ? HomeFolder() + "/.config" : configHome;
}

std::string UserDataFolder() {
    const std::string dataHome = AbsoluteFromEnvironment("XDG_DATA_HOME");
    return dataHome.empty() ? HomeFolder() + "/.local/share" : dataHome;
}

std::string CurrentFolder() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    return std::string(buffer.data());
}

bool IsUnderSystemPrefix(const std::string& path) {
    static constexpr std::array<std::string_view, 4> kPrefixes{"/usr/", "/opt/", "/bin/", "/sbin/"};
    for (const std::string_view prefix : kPrefixes) {
        if (path.starts_with(prefix)) {
            return true;
        }
    }
    return false;
}

}  // namespace platform
