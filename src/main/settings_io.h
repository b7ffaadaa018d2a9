#pragma once

#include <string>

// The settings file that main windows created from now on read and write. An empty path (the
// default) means the one that func::IniFileName picks: beside the program or in the per-user
// configuration folder. Tests point it at a temporary folder.
void UseSettingsFile(std::string path);
