// The settings file: read once while the main window is built, written once when it closes.

#include "main/settings_io.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QWidget>
#include <algorithm>
#include <cstdint>

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

// A stored number as a window coordinate or size: taken as it is, only kept within what a window
// can hold at all, so that no arithmetic on it overflows.
int WindowExtent(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
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
    move(WindowExtent(settings.PosX), WindowExtent(settings.PosY));
    SetOuterSize(*this, QSize(WindowExtent(settings.Width), WindowExtent(settings.Height)),
                 QSize(640, 480));
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
    const QSize outer = OuterSize(*this);
    settings.Width = outer.width();
    settings.Height = outer.height();
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
