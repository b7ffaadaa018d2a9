#include "func/settings_location.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace func {

namespace {

// The folder part of `path`, without its final separator; "." when there is none.
std::string FolderPart(const std::string& path, const platform::CodePage& codePage) {
    const std::size_t separator = codePage.FindLast(path, platform::kSeparator);
    if (separator == std::string::npos) {
        return ".";
    }
    return separator == 0 ? std::string(1, platform::kSeparator) : path.substr(0, separator);
}

std::string NamePart(const std::string& path, const platform::CodePage& codePage) {
    const std::size_t separator = codePage.FindLast(path, platform::kSeparator);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool IsWritableFolder(const std::string& folder) {
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::string SettingsFileBesideProgram(const std::string& programPath,
                                      const platform::CodePage& codePage) {
    const std::size_t separator = codePage.FindLast(programPath, platform::kSeparator);
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t dot = codePage.FindLast(std::string_view(programPath).substr(nameStart), '.');
    const std::string stem =
        dot == std::string::npos ? programPath : programPath.substr(0, nameStart + dot);
    return stem + ".INI";
}

std::string IniFileName(const std::string& programPath, const std::string& fallbackFolder,
                        const platform::CodePage& codePage) {
    const std::string beside = SettingsFileBesideProgram(programPath, codePage);
    if (IsWritableFolder(FolderPart(beside, codePage))) {
        return beside;
    }
    std::string path = fallbackFolder;
    if (!codePage.EndsWithChar(path, platform::kSeparator)) {
        path += platform::kSeparator;
    }
    return path + NamePart(beside, codePage);
}

std::string DefaultConfigFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return std::string(configHome) + "/Dopplet";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/Dopplet";
}

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

std::error_code CreateFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        return {};
    }
    const std::string folder = path.substr(0, slash);
    // Each step from the top: a folder made here is private to the user, like the configuration
    // folder it usually is.
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string step = folder.substr(0, end);
        struct stat st {};
        const bool isFolder = stat(step.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        if (!isFolder && mkdir(step.c_str(), 0700) != 0 && errno != EEXIST) {
            return {errno, std::generic_category()};
        }
        if (end == std::string::npos) {
            return {};
        }
    }
}

}  // namespace func
