#include "func/settings_location.h"

#include "platform/file_system.h"
#include "platform/path.h"
#include "platform/system_paths.h"

namespace func {

std::string SettingsFileBesideProgram(const std::string& programPath,
                                      const platform::CodePage& codePage) {
    const std::size_t separator = codePage.FindLast(programPath, platform::kSeparator);
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t dot = codePage.FindLast(std::string_view(programPath).substr(nameStart), '.');
    const std::string stem =
        dot == std::string::npos ? programPath : programPath.substr(0, nameStart + dot);
    return stem + ".INI";
}

std::string UserSettingsFolder() {
    return platform::JoinPath(platform::UserConfigFolder(), "dopplet");
}

std::string IniFileName(const std::string& programPath, const std::string& fallbackFolder,
                        const platform::CodePage& codePage) {
    const std::string beside = SettingsFileBesideProgram(programPath, codePage);
    // Another file in its place would come up with an empty must-not-delete list.
    if (platform::Exists(beside)) {
        return beside;
    }
    if (!platform::IsUnderSystemPrefix(beside) &&
        platform::IsWritableFolder(platform::ParentFolder(beside))) {
        return beside;
    }
    return platform::JoinPath(fallbackFolder, platform::SplitPath(beside).Name);
}

}  // namespace func
