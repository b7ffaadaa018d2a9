#pragma once

#include <QString>
#include <string>

#include "func/settings.h"

class QWidget;

// The settings file as the main window reads it when it is built and writes it when it closes.

// The settings file that main windows created from now on read and write. An empty path (the
// default) means the one that func::IniFileName picks: beside the program or in the per-user
// configuration folder. Tests point it at a temporary folder.
void UseSettingsFile(std::string path);
// The settings file that a main window built now reads and writes.
std::string SettingsFileName();

// Puts the window at the stored place with the stored outer size.
void PlaceWindow(QWidget& window, const func::Settings& settings);
// The window's place and outer size into `settings`.
void StorePlacement(const QWidget& window, func::Settings& settings);

// What the window says at its start about a settings file that it could not read whole; empty
// when there is nothing to say.
QString LoadWarning(const func::LoadedSettings& loaded, const std::string& file);

// Writes `settings` to `file`. A file that could not be read (`state`) is replaced only after a Yes
// from the user; a file kept aside and a failure are shown in message boxes over `window`. False
// when the settings could not be written. `state` becomes Read once they are.
bool WriteSettingsFile(QWidget& window, const std::string& file, const func::Settings& settings,
                       func::SettingsFileState& state);
