// Times a search in the window: starts the main window with a temporary settings file, shows the
// results page, searches FOLDER and reports, as one line of JSON, the time from the start of the
// search to its end message, the number of group rows, the longest delay of a timer that should
// fire every 10 ms while the rows stream in (how long a click or key would wait), and the time
// that closing the window with all rows listed takes.
//
// Usage: dopplet-window-bench FOLDER

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

#include "dialogs/folder_list_box.h"
#include "dialogs/user_dialogs.h"
#include "main/main_form.h"
#include "main/program_windows.h"
#include "main/settings_io.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    QTemporaryDir settings;
    UseSettingsFile(
        QFile::encodeName(settings.filePath(QStringLiteral("dopplet.INI"))).toStdString());

    CreateProgramWindows();
    MainForm->show();
    MainForm->DirectoryList->SetFolder(argv[1]);
    MainForm->AddButtonClick();
    MainForm->PageControl->setCurrentWidget(MainForm->TabSheet1);

    QElapsedTimer clock;
    qint64 endMessageMs = -1;
    UserDialogs::SetAnswerer([&](const UserDialogs::Request& request) {
        if (endMessageMs < 0) {
            endMessageMs = clock.elapsed();
            std::fprintf(stderr, "%s\n", qPrintable(request.Text));
        }
        return QMessageBox::Ok;
    });

    // A timer that should fire every 10 ms: how late it fires is how long input waits.
    qint64 lastTick = 0;
    qint64 worstDelay = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worstDelay = std::max(worstDelay, now - lastTick - 10);
        lastTick = now;
    });

    bool ended = false;
    QObject::connect(MainForm, &TMainForm::SearchJobEnded, [&] { ended = true; });
    QTimer::singleShot(0, [&] {
        clock.start();
        ticker.start();
        MainForm->SearchButtonClick();
    });
    while (!ended) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    ticker.stop();
    const int rows = MainForm->SameList->topLevelItemCount();

    QElapsedTimer closing;
    closing.start();
    MainForm->close();
    DestroyProgramWindows();
    const qint64 closeMs = closing.elapsed();

    std::printf(
        "{\"search_ms\": %lld, \"rows\": %d, \"worst_input_delay_ms\": %lld, "
        "\"close_ms\": %lld}\n",
        static_cast<long long>(endMessageMs), rows, static_cast<long long>(worstDelay),
        static_cast<long long>(closeMs));
    return 0;
}
