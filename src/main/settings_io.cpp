// The settings file: read once while the main window is built, written once when it closes.

#include "main/settings_io.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>

#include "dialogs/user_dialogs.h"
#include "dialogs/window_frame.h"
#include "func/settings.h"
#include "func/settings_location.h"
#include "main/main_form.h"

namespace {

std::string& SettingsFileOverride() {
    static std::string path;
    return path;
}

// The running program's file as bytes.
std::string ProgramFile() {
    std::string path = func::ProgramFilePath();
    if (path.empty()) {
        path = QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    }
    return path;
}

}  // namespace

void UseSettingsFile(std::string path) {
    SettingsFileOverride() = std::move(path);
}

std::string TMainForm::SettingsFileName() {
    if (!SettingsFileOverride().empty()) {
        return SettingsFileOverride();
    }
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return func::IniFileName(ProgramFile(), QFile::encodeName(configFolder).toStdString());
}

void TMainForm::LoadSettings() {
    const func::Settings settings = func::LoadSettings(IniFileName);
    // The stored place and outer size are applied as they are; only the window's minimum size
    // still holds.
    move(settings.PosX, settings.PosY);
    resize(settings.Width - kFrameWidth, settings.Height - kFrameHeight);
    PriorityClass = settings.PriorityClass;
    CompareModeSetting = settings.CompareModeSetting;
    SetNoDelEntries(settings.NoDelList);
    TidyNoDelList();
}

bool TMainForm::SaveSettings() {
    TidyNoDelList();
    func::Settings settings;
    settings.PosX = x();
    settings.PosY = y();
    settings.Width = width() + kFrameWidth;
    settings.Height = height() + kFrameHeight;
    settings.PriorityClass = PriorityClass;
    settings.CompareModeSetting = CompareModeSetting;
    settings.NoDelList = NoDelEntries();
    const func::SaveResult result = func::SaveSettings(IniFileName, settings);
    if (result.Error) {
        UserDialogs::Show(this, QMessageBox::Critical,
                          QFile::decodeName(QByteArray::fromStdString(result.Message)));
        return false;
    }
    return true;
}
