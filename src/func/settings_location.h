#pragma once

#include <string>
#include <system_error>

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

// The per-user configuration folder: $XDG_CONFIG_HOME/Dopplet, or ~/.config/Dopplet.
std::string DefaultConfigFolder();

// The running program's file, from /proc/self/exe; empty when it cannot be read.
std::string ProgramFilePath();

// Creates the folder that `path` lies in, with the folders above it, where missing.
std::error_code CreateFolderOf(const std::string& path);

}  // namespace func
