#pragma once

#include <string>

#include "platform/codepage.h"

namespace func {

// The settings file beside the program: `programPath` with the extension of its file name
// replaced by ".INI", or ".INI" appended when the name has none (dopplet becomes dopplet.INI).
std::string SettingsFileBesideProgram(
    const std::string& programPath,
    const platform::CodePage& codePage = platform::SystemCodePage());

// The folder that the settings file goes into when it is not beside the program: "dopplet" in the
// user's configuration folder (platform::UserConfigFolder).
std::string UserSettingsFolder();

// Where the settings file lives. A file beside the program is the one, whenever it is there,
// even in a folder that may not be written (it is then rewritten in place). Without one, it is
// made beside the program when the program runs from a writable folder outside the system's
// program folders (see platform::IsUnderSystemPrefix); otherwise it lives under the same name in
// `fallbackFolder` (the per-user configuration folder). So an installed program never leaves a
// settings file among the package's files, whoever runs it.
std::string IniFileName(const std::string& programPath, const std::string& fallbackFolder,
                        const platform::CodePage& codePage = platform::SystemCodePage());

}  // namespace func
