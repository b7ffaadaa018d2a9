#include "func/settings.h"

#include <cstdio>

#include "func/no_del_list.h"
#include "func/profile_file.h"
#include "func/settings_location.h"

namespace func {

namespace {

constexpr const char* kFormSection = "DOPPLETF";
constexpr const char* kNoDelSection = "DOPPLETD";

std::string NoDelKey(std::size_t number) {
    char key[32];
    std::snprintf(key, sizeof key, "NODEL%05zu", number);
    return key;
}

SaveResult WriteFailure(const std::string& path, std::error_code error) {
    return {error, path + " に書き込めません"};
}

}  // namespace

Settings LoadSettings(const std::string& path, const platform::CodePage& codePage) {
    ProfileFile profile(codePage);
    LoadProfileFile(path, profile);  // an unreadable file counts as a missing one: defaults

    Settings settings;
    settings.PosX = profile.ReadInteger(kFormSection, "posX", 0);
    settings.PosY = profile.ReadInteger(kFormSection, "posY", 0);
    settings.Width = profile.ReadInteger(kFormSection, "width", 640);
    settings.Height = profile.ReadInteger(kFormSection, "height", 480);
    settings.PriorityClass = profile.ReadInteger(kFormSection, "Priority", 32);
    settings.CompareModeSetting = profile.ReadInteger(kFormSection, "Compare_Mode", 0);

    // Every key of the section counts, in file order, whatever its name; an empty value ends
    // the list.
    for (const auto& [key, value] : profile.ReadSection(kNoDelSection, "")) {
        if (value.empty()) {
            break;
        }
        settings.NoDelList.push_back(codePage.UpperAscii(value));
    }
    TidyNoDelList(settings.NoDelList);
    return settings;
}

SaveResult SaveSettings(const std::string& path, const Settings& settings,
                        const platform::CodePage& codePage) {
    ProfileFile profile(codePage);
    // A file that is there but cannot be read is not replaced: its other sections would be lost.
    if (const std::error_code error = LoadProfileFile(path, profile)) {
        return WriteFailure(path, error);
    }

    profile.WriteInteger(kFormSection, "posX", settings.PosX);
    profile.WriteInteger(kFormSection, "posY", settings.PosY);
    profile.WriteInteger(kFormSection, "width", settings.Width);
    profile.WriteInteger(kFormSection, "height", settings.Height);
    profile.WriteInteger(kFormSection, "Priority", settings.PriorityClass);
    profile.WriteInteger(kFormSection, "Compare_Mode", settings.CompareModeSetting);

    // The whole list section is written anew, so that no stale key survives, whatever its name.
    std::vector<std::string> entries = settings.NoDelList;
    TidyNoDelList(entries);
    std::vector<std::pair<std::string, std::string>> keys;
    for (const std::string& entry : entries) {
        if (entry.empty()) {
            break;
        }
        // An entry with a line break cannot be a line of the file; it is left out rather than
        // letting it add lines of its own.
        if (entry.find_first_of("\r\n") == std::string::npos) {
            keys.emplace_back(NoDelKey(keys.size() + 1), entry);
        }
    }
    profile.ReplaceSection(kNoDelSection, keys);

    if (const std::error_code error = CreateFolderOf(path)) {
        return WriteFailure(path, error);
    }
    if (const std::error_code error = SaveProfileFile(path, profile)) {
        return WriteFailure(path, error);
    }
    return {};
}

}  // namespace func
