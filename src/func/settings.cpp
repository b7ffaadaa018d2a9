#include "func/settings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "func/no_del_list.h"
#include "func/profile_file.h"
#include "func/settings_location.h"
#include "platform/file_stamp.h"
#include "platform/file_system.h"

namespace func {

namespace {

constexpr const char* kFormSection = "DOPPLETF";
constexpr const char* kNoDelSection = "DOPPLETD";
constexpr const char* kFilterSection = "DOPPLETS";
constexpr const char* kExcludeSection = "DOPPLETX";

std::string NumberedKey(const char* name, std::size_t number) {
    char key[32];
    std::snprintf(key, sizeof key, "%s%05zu", name, number);
    return key;
}

// A stored size: decimal bytes, blanks around it ignored; `defaultValue` for anything else.
std::int64_t ReadSize(const ProfileFile& profile, const char* key, std::int64_t defaultValue) {
    const std::string text = profile.ReadString(kFilterSection, key, "");
    std::int64_t size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    return text.empty() || error != std::errc{} || end != text.data() + text.size() ? defaultValue
                                                                                    : size;
}

SearchFilterSettings ReadFilter(const ProfileFile& profile) {
    SearchFilterSettings filter;
    filter.MinSize = std::max<std::int64_t>(ReadSize(profile, "Min_Size", 0), 0);
    filter.MaxSize = ReadSize(profile, "Max_Size", SearchFilterSettings::kNoLimit);
    if (filter.MaxSize < 0) {
        filter.MaxSize = SearchFilterSettings::kNoLimit;
    }
    filter.EmptyFiles = profile.ReadInteger(kFilterSection, "Empty_Files", 1) != 0;
    filter.HiddenFiles = profile.ReadInteger(kFilterSection, "Hidden_Files", 1) != 0;
    for (const std::string& value : profile.ValuesOfEverySection(kExcludeSection)) {
        if (!value.empty()) {
            filter.ExcludeList.push_back(value);
        }
    }
    TidyNoDelList(filter.ExcludeList);
    return filter;
}

// Both filter sections written anew: only what differs from the default, so that a filter left
// at its default writes nothing at all.
std::error_code WriteFilter(ProfileFile& profile, const SearchFilterSettings& filter) {
    const SearchFilterSettings defaults;
    std::vector<std::pair<std::string, std::string>> keys;
    if (filter.MinSize != defaults.MinSize) {
        keys.emplace_back("Min_Size", std::to_string(filter.MinSize));
    }
    if (filter.MaxSize != defaults.MaxSize) {
        keys.emplace_back("Max_Size", std::to_string(filter.MaxSize));
    }
    if (filter.EmptyFiles != defaults.EmptyFiles) {
        keys.emplace_back("Empty_Files", filter.EmptyFiles ? "1" : "0");
    }
    if (filter.HiddenFiles != defaults.HiddenFiles) {
        keys.emplace_back("Hidden_Files", filter.HiddenFiles ? "1" : "0");
    }
    if (const std::error_code error = profile.ReplaceSection(kFilterSection, keys)) {
        return error;
    }
    std::vector<std::string> patterns = filter.ExcludeList;
    TidyNoDelList(patterns);
    keys.clear();
    for (const std::string& pattern : patterns) {
        keys.emplace_back(NumberedKey("EXCLUDE", keys.size() + 1), pattern);
    }
    return profile.ReplaceSection(kExcludeSection, keys);
}

SaveResult WriteFailure(const std::string& path, std::error_code error) {
    return {error, path + " に書き込めません", {}};
}

// Moves the file at `path` to "<path>.bad", or to "<path>.bad2", "<path>.bad3", ... when that
// is taken, and names the place in `keptAside`. The rename itself finds the free name, so that a
// file that takes one of the names meanwhile is never replaced.
std::error_code KeepAside(const std::string& path, std::string& keptAside) {
    constexpr int kNames = 1000;
    for (int number = 1; number <= kNames; ++number) {
        const std::string name = path + ".bad" + (number == 1 ? "" : std::to_string(number));
        const std::error_code error = platform::RenameNoReplace(path, name);
        if (error != std::errc::file_exists) {
            if (!error) {
                keptAside = name;
            }
            return error;
        }
    }
    return std::make_error_code(std::errc::file_exists);
}

}  // namespace

LoadedSettings ReadSettingsFile(const std::string& path, const platform::CodePage& codePage) {
    LoadedSettings loaded;
    ProfileFile profile(codePage);
    loaded.Error = LoadProfileFile(path, profile);
    if (loaded.Error == std::errc::illegal_byte_sequence) {
        loaded.State = SettingsFileState::NotSettings;
    } else if (loaded.Error) {
        loaded.State = SettingsFileState::Unreadable;
    } else {
        loaded.State =
            platform::ReadFileStamp(path) ? SettingsFileState::Read : SettingsFileState::Missing;
    }

    Settings& settings = loaded.Values;
    settings.PosX = profile.ReadInteger(kFormSection, "posX", 0);
    settings.PosY = profile.ReadInteger(kFormSection, "posY", 0);
    settings.Width = profile.ReadInteger(kFormSection, "width", 640);
    settings.Height = profile.ReadInteger(kFormSection, "height", 480);
    settings.PriorityClass = profile.ReadInteger(kFormSection, "Priority", 32);
    settings.CompareModeSetting = profile.ReadInteger(kFormSection, "Compare_Mode", 0);
    settings.KeepRuleSetting = profile.ReadInteger(kFormSection, "KeepRule", 0);

    // Every key of every such section counts, in file order, whatever its name; an empty value
    // is skipped, so that nothing after it is lost.
    for (const std::string& value : profile.ValuesOfEverySection(kNoDelSection)) {
        if (!value.empty()) {
            settings.NoDelList.push_back(codePage.UpperAscii(value));
        }
    }
    TidyNoDelList(settings.NoDelList);
    settings.Filter = ReadFilter(profile);
    return loaded;
}

Settings LoadSettings(const std::string& path, const platform::CodePage& codePage) {
    return ReadSettingsFile(path, codePage).Values;
}

SaveResult SaveSettings(const std::string& path, const Settings& settings,
                        const platform::CodePage& codePage, UnreadableFile unreadable) {
    ProfileFile profile(codePage);
    std::string keptAside;
    if (const std::error_code error = LoadProfileFile(path, profile)) {
        if (error == std::errc::illegal_byte_sequence) {
            // A damaged file stays whole, under a name of its own; the new one holds only what
            // the program keeps, none of the damage.
            if (const std::error_code moved = KeepAside(path, keptAside)) {
                return WriteFailure(path, moved);
            }
            profile = ProfileFile(codePage);
        } else if (unreadable == UnreadableFile::Keep) {
            // A file that is there but cannot be read is not replaced unasked: its other sections
            // and its list would be lost.
            return WriteFailure(path, error);
        }
    }

    profile.WriteInteger(kFormSection, "posX", settings.PosX);
    profile.WriteInteger(kFormSection, "posY", settings.PosY);
    profile.WriteInteger(kFormSection, "width", settings.Width);
    profile.WriteInteger(kFormSection, "height", settings.Height);
    profile.WriteInteger(kFormSection, "Priority", settings.PriorityClass);
    profile.WriteInteger(kFormSection, "Compare_Mode", settings.CompareModeSetting);
    // The keep rule is written once it was chosen, so that a file that never held it stays the
    // same. A key's value never holds a line break: that default stands for a missing key.
    if (settings.KeepRuleSetting != 0 ||
        profile.ReadString(kFormSection, "KeepRule", "\n") != "\n") {
        profile.WriteInteger(kFormSection, "KeepRule", settings.KeepRuleSetting);
    }

    // The whole list section is written anew, so that no stale key survives, whatever its name.
    // The tidy leaves no blank entry and splits entries at their line breaks.
    std::vector<std::string> entries = settings.NoDelList;
    TidyNoDelList(entries);
    std::vector<std::pair<std::string, std::string>> keys;
    for (const std::string& entry : entries) {
        keys.emplace_back(NumberedKey("NODEL", keys.size() + 1), entry);
    }
    if (const std::error_code error = profile.ReplaceSection(kNoDelSection, keys)) {
        return WriteFailure(path, error);
    }
    if (const std::error_code error = WriteFilter(profile, settings.Filter)) {
        return WriteFailure(path, error);
    }

    if (const std::error_code error = platform::CreateFolderOf(path)) {
        return WriteFailure(path, error);
    }
    if (const std::error_code error = SaveProfileFile(path, profile)) {
        SaveResult failure = WriteFailure(path, error);
        failure.KeptAside = keptAside;
        return failure;
    }
    return {{}, {}, keptAside};
}

}  // namespace func
