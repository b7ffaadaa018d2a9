#include "gui_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTabWidget>

#include "dialogs/user_dialogs.h"

void UsePrivateHome(const QTemporaryDir& home) {
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
}

void WriteTree(const QString& root, const std::vector<std::pair<QString, QByteArray>>& files) {
    for (const auto& [path, contents] : files) {
        const QString full = root + "/" + path;
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(contents);
        }
    }
}

MessageRecorder::MessageRecorder(QStringList leaveOpen) : m_leaveOpen(std::move(leaveOpen)) {
    UserDialogs::SetAnswerer(
        [this](const UserDialogs::Request& request) -> std::optional<QMessageBox::StandardButton> {
            Texts << request.Text;
            if (m_leaveOpen.contains(request.Text)) {
                return std::nullopt;
            }
            return QMessageBox::Ok;
        });
}

MessageRecorder::~MessageRecorder() {
    UserDialogs::SetAnswerer({});
}

void ShowPage(const QWidget* window, const char* page) {
    Named<QTabWidget>(window, "PageControl")->setCurrentWidget(Named<QWidget>(window, page));
}

QString ShownPage(const QWidget* window) {
    return Named<QTabWidget>(window, "PageControl")->currentWidget()->objectName();
}
