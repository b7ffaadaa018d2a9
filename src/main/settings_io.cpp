// The settings file: read once while the main window is built, written once when it closes.

#include "main/settings_io.h"

#include <QCoreApplication>
#include <QFile>
#include <QWidget>
#include <algorithm>
#include <cstdint>

#include "dialogs/user_dialogs.h"
#include "dialogs/window_frame.h"
#include "func/settings.h"
#include "func/settings_location.h"
#include "main/main_form.h"
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
    return func::IniFileName(ProgramFile(), func::UserSettingsFolder());
}

void TMainForm::LoadSettings() {
    const func::LoadedSettings loaded = func::ReadSettingsFile(IniFileName);
    m_settingsFileState = loaded.State;
    const func::Settings& settings = loaded.Values;
    // The stored place and outer size are applied as they are; only the window's minimum size
    // still holds.
    move(WindowExtent(settings.PosX), WindowExtent(settings.PosY));
    SetOuterSize(*this, QSize(WindowExtent(settings.Width), WindowExtent(settings.Height)),
                 QSize(640, 480));
    SetOptions({settings.PriorityClass, settings.CompareModeSetting, settings.Filter,
                func::KeepRuleOf(settings.KeepRuleSetting)});
    SetNoDelEntries(settings.NoDelList);
    TidyNoDelList();

    // A list that comes up empty for want of its file must not pass unnoticed: a bulk delete
    // would then spare nothing. Said once the window is on the screen.
    const QString file = QFile::decodeName(QByteArray::fromStdString(IniFileName));
    QString warning;
    if (loaded.State == func::SettingsFileState::Unreadable) {
        warning = QStringLiteral(
                      "%1 を読み込めません（%2）。\n既定の設定で始めます。"
                      "削除しちゃ駄目リストも空です。")
                      .arg(file, QString::fromLocal8Bit(loaded.Error.message()));
    } else if (loaded.State == func::SettingsFileState::NotSettings) {
        // What could be read is in use; the user is to check what may be missing.
        warning = QStringLiteral(
                      "%1 には読めない部分があります。\n読めた設定だけで始めます。"
                      "削除しちゃ駄目リストには読めた %2 件が入っていますが、"
                      "欠けている項目があるかもしれません。一括削除の前に確かめてください。"
                      "終了時に元のファイルは別の名前で残します。")
                      .arg(file)
                      .arg(settings.NoDelList.size());
    }
    if (!warning.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this, warning] { UserDialogs::Show(this, QMessageBox::Warning, warning); },
            Qt::QueuedConnection);
    }
}

bool TMainForm::SaveSettings() {
    TidyNoDelList();
    func::Settings settings;
    settings.PosX = x();
    settings.PosY = y();
    const QSize outer = OuterSize(*this);
    settings.Width = outer.width();
    settings.Height = outer.height();
    const WindowOptions options = Options();
    settings.PriorityClass = options.PriorityClass;
    settings.CompareModeSetting = options.CompareMode;
    settings.Filter = options.Filter;
    settings.KeepRuleSetting = static_cast<std::int32_t>(options.Keep);
    settings.NoDelList = NoDelEntries();
    const QString file = QFile::decodeName(QByteArray::fromStdString(IniFileName));
    auto unreadable = func::UnreadableFile::Keep;
    if (m_settingsFileState == func::SettingsFileState::Unreadable) {
        // What the file held is unknown: it is replaced only when the user says so.
        if (UserDialogs::Show(
                this, QMessageBox::Warning,
                QStringLiteral("%1 は読み込めなかったため、書き込むと中身は失われます。"
                               "\n設定を書き込みますか？")
                    .arg(file),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
            return true;
        }
        unreadable = func::UnreadableFile::Replace;
    }
    const func::SaveResult result =
        func::SaveSettings(IniFileName, settings, platform::SystemCodePage(), unreadable);
    if (!result.KeptAside.empty()) {
        UserDialogs::Show(
            this, QMessageBox::Information,
            QStringLiteral("%1 には読めない部分があったため、元のファイルを %2 として残しました")
                .arg(file, QFile::decodeName(QByteArray::fromStdString(result.KeptAside))));
    }
    if (result.Error) {
        UserDialogs::Show(this, QMessageBox::Critical,
                          QFile::decodeName(QByteArray::fromStdString(result.Message)));
        return false;
    }
    m_settingsFileState = func::SettingsFileState::Read;
    return true;
}
