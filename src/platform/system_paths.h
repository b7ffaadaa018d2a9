#pragma once

#include <string>

namespace platform {

// The running program's file, or empty when the system does not say.
std::string ProgramFilePath();

// The user's home folder ($HOME as it is set), or empty when none is set.
std::string HomeFolder();

// The folder that per-user configuration goes in ($XDG_CONFIG_HOME, or ~/.config).
std::string UserConfigFolder();

// The folder that per-user data goes in ($XDG_DATA_HOME, or ~/.local/share).
std::string UserDataFolder();

// The process's current folder, or empty when it cannot be had.
std::string CurrentFolder();

// True when `path` lies under one of the folders that the system's packages install programs
// into (/usr, which holds /usr/local, /opt, /bin, /sbin): what lies there belongs to a package
// and is the same for every user.
bool IsUnderSystemPrefix(const std::string& path);

}  // namespace platform
