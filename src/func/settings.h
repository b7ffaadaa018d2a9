#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "platform/codepage.h"

namespace func {

// Which files the search leaves out; the default leaves nothing out. Kept in a section of its
// own ("DOPPLETS", only the keys that differ from their defaults) and the patterns in another
// ("DOPPLETX", "EXCLUDE00001", ...), so that a program that knows neither reads the file as
// before.
struct SearchFilterSettings {
    static constexpr std::int64_t kNoLimit = -1;

    std::int64_t MinSize = 0;              // "Min_Size": bytes
    std::int64_t MaxSize = kNoLimit;       // "Max_Size": bytes, or no limit
    bool EmptyFiles = true;                // "Empty_Files": 1 searched, 0 left out
    bool HiddenFiles = true;               // "Hidden_Files": 1 searched, 0 left out
    std::vector<std::string> ExcludeList;  // patterns, tidied like the must-not-delete list
};

// Everything the program keeps between runs.
struct Settings {
    std::int32_t PosX = 0;  // main window's left edge
    std::int32_t PosY = 0;  // main window's top edge
    std::int32_t Width = 640;
    std::int32_t Height = 480;
    std::int32_t PriorityClass = 32;      // "Priority": 256, 128, 32 or 64
    std::int32_t CompareModeSetting = 0;  // "Compare_Mode": 0, 1 or 2
    std::vector<std::string> NoDelList;   // upper-cased must-not-delete entries
    SearchFilterSettings Filter;

    // Which copy the bulk delete keeps, as func::KeepRuleOf reads it. Written only when it is not
    // 0 or the file holds it already.
    std::int32_t KeepRuleSetting = 0;  // "KeepRule": 0 first found, 1 oldest, 2 newest, 3 shortest
};

// What reading the settings file found.
enum class SettingsFileState {
    Missing,      // no file: the defaults
    Read,         // the file's values
    Unreadable,   // a file that could not be read: the defaults, and the file is kept
    NotSettings,  // a damaged file (NUL bytes): what could be read of it, defaults for the rest
};

struct LoadedSettings {
    Settings Values;
    SettingsFileState State = SettingsFileState::Missing;
    std::error_code Error;  // why the file could not be read
};

struct SaveResult {
    std::error_code Error;
    std::string Message;    // "<path> に書き込めません" when Error is set
    std::string KeptAside;  // where a file that was no settings file went, when it was moved
};

// Reads the settings file at `path`. Whatever is missing or not a whole number takes its
// default; the must-not-delete entries of every must-not-delete section come back upper-cased
// and tidied. UTF-16 with a byte-order mark and lines ending in CR alone are read too, and so is
// every line of a damaged file that can be read (NotSettings).
LoadedSettings ReadSettingsFile(const std::string& path,
                                const platform::CodePage& codePage = platform::SystemCodePage());

// The values of ReadSettingsFile.
Settings LoadSettings(const std::string& path,
                      const platform::CodePage& codePage = platform::SystemCodePage());

// What SaveSettings does with a file that is there but could not be read.
enum class UnreadableFile { Keep, Replace };

// Writes `settings` into the settings file at `path`, keeping the file's other sections, and
// replaces the whole must-not-delete section with the tidied list. All or nothing: on failure
// the old file stays as it was. A missing folder is created. A file that cannot be read is kept
// (the save fails) unless `unreadable` says to replace it; a damaged file (NotSettings) is first
// moved aside to a free name beside it ("<path>.bad", "<path>.bad2", ...), never replacing
// anything, and the new file holds none of its lines.
SaveResult SaveSettings(const std::string& path, const Settings& settings,
                        const platform::CodePage& codePage = platform::SystemCodePage(),
                        UnreadableFile unreadable = UnreadableFile::Keep);

}  // namespace func
