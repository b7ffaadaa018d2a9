// Linked into every window test program: the main window never reads or writes the settings
// file beside the test program. Each program keeps its settings in a temporary folder of its
// own; a test that needs its own file says so with UseSettingsFile.

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "main/settings_io.h"

namespace {

void UsePrivateSettingsFile() {
    static QTemporaryDir folder;
    UseSettingsFile(
        QFile::encodeName(folder.filePath(QStringLiteral("dopplet.INI"))).toStdString());
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(UsePrivateSettingsFile)
