#pragma once

#include <string>

#include "platform/codepage.h"

namespace func {

// The settings file beside the program: `programPath` with the extension of its file name
// replaced by ".INI", or ".INI" appended when the name has none (dopplet becomes dopplet.INI).
std::string SettingsFileBesideProgram(
    const std::string& programPath,
    const platform::CodePage& codePage = platform::SystemCodePage());

// Where the settings file lives: beside the program when the program's folder is writable,
// otherwise under the same name in `fallbackFolder` (the per-user configuration folder).
std::string IniFileName(const std::string& programPath, const std::string& fallbackFolder,
                        const platform::CodePage& codePage = platform::SystemCodePage());

}  // namespace func
