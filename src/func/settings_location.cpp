#include "func/settings_location.h"

#include "platform/file_system.h"
#include "platform/system_paths.h"

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
    if (platform::IsWritableFolder(FolderPart(beside, codePage))) {
        return beside;
    }
    std::string path = fallbackFolder;
    if (!codePage.EndsWithChar(path, platform::kSeparator)) {
        path += platform::kSeparator;
    }
    return path + NamePart(beside, codePage);
}

std::string DefaultConfigFolder() {
    return platform::UserConfigFolder() + "/Dopplet";
}

}  // namespace func
