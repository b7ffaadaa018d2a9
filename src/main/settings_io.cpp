#include "main/settings_io.h"

#include <QCoreApplication>
#include <QWidget>
#include <algorithm>
#include <cstdint>

#include "dialogs/path_text.h"
#include "dialogs/user_dialogs.h"
#include "dialogs/window_frame.h"
#include "func/settings_location.h"
#include "platform/system_paths.h"

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
    std::string path = platform::ProgramFilePath();
    if (path.empty()) {
        path = PathBytes(QCoreApplication::applicationFilePath());
    }
    return path;
}

}  // namespace

void UseSettingsFile(std::string path) {
    SettingsFileOverride() = std::move(path);
}

std::string SettingsFileName() {
    if (!SettingsFileOverride().empty()) {
        return SettingsFileOverride();
    }
    return func::IniFileName(ProgramFile(), func::UserSettingsFolder());
}

void PlaceWindow(QWidget& window, const func::Settings& settings) {
    // The stored place and outer size are applied as they are; only the window's minimum size
    // still holds.
    window.move(WindowExtent(settings.PosX), WindowExtent(settings.PosY));
    SetOuterSize(window, QSize(WindowExtent(settings.Width), WindowExtent(settings.Height)),
                 QSize(640, 480));
}

void StorePlacement(const QWidget& window, func::Settings& settings) {
    settings.PosX = window.x();
    settings.PosY = window.y();
    const QSize outer = OuterSize(window);
    settings.Width = outer.width();
    settings.Height = outer.height();
}

QString LoadWarning(const func::LoadedSettings& loaded, const std::string& file) {
    // A list that comes up empty for want of its file must not pass unnoticed: a bulk delete
    // would then spare nothing.
    if (loaded.State == func::SettingsFileState::Unreadable) {
        return QStringLiteral(
                   "%1 を読み込めません（%2）。\n既定の設定で始めます。"
                   "削除しちゃ駄目リストも空です。")
            .arg(PathText(file), QString::fromLocal8Bit(loaded.Error.message()));
    }
    if (loaded.State == func::SettingsFileState::NotSettings) {
        // What could be read is in use; the user is to check what may be missing.
        return QStringLiteral(
                   "%1 には読めない部分があります。\n読めた設定だけで始めます。"
                   "削除しちゃ駄目リストには読めた %2 件が入っていますが、"
                   "欠けている項目があるかもしれません。一括削除の前に確かめてください。"
                   "終了時に元のファイルは別の名前で残します。")
            .arg(PathText(file))
            .arg(loaded.Values.NoDelList.size());
    }
    return QString();
}

bool WriteSettingsFile(QWidget& window, const std::string& file, const func::Settings& settings,
                       func::SettingsFileState& state) {
    auto unreadable = func::UnreadableFile::Keep;
    if (state == func::SettingsFileState::Unreadable) {
        // What the file held is unknown: it is replaced only when the user says so.
        if (UserDialogs::Show(
                &window, QMessageBox::Warning,
                QStringLiteral("%1 は読み込めなかったため、書き込むと中身は失われます。"
                               "\n設定を書き込みますか？")
                    .arg(PathText(file)),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
            return true;
        }
        unreadable = func::UnreadableFile::Replace;
    }
    const func::SaveResult result =
        func::SaveSettings(file, settings, platform::SystemCodePage(), unreadable);
    if (!result.KeptAside.empty()) {
        UserDialogs::Show(
            &window, QMessageBox::Information,
            QStringLiteral("%1 には読めない部分があったため、元のファイルを %2 として残しました")
                .arg(PathText(file), PathText(result.KeptAside)));
    }
    if (result.Error) {
        UserDialogs::Show(&window, QMessageBox::Critical, PathText(result.Message));
        return false;
    }
    state = func::SettingsFileState::Read;
    return true;
}
