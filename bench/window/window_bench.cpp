// Times a search in the window: starts the main window with a temporary settings file, shows the
// results page, searches FOLDER in compare mode MODE (0 contents, the default; 1 and 2 names) and
// reports, as one line of JSON, the time from the start of the search to its end message, the
// part of it that the name modes' content column took (from the status bar's first "内容確認中"),
// the number of group rows, the longest delay of a timer that should fire every 10 ms while the
// rows stream in (how long a click or key would wait), the time that closing the window with all
// rows listed takes until it is off the screen, the time that freeing it takes after that, and the
// time that deleting one member of the last group takes, from the
// command until both lists show it (the file itself stays: the bench's trash only pretends).
//
// Usage: dopplet-window-bench [--mode MODE] FOLDER

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dialogs/folder_list_box.h"
#include "dialogs/user_dialogs.h"
#include "func/file_actions.h"
#include "main/group_list_model.h"
#include "main/main_form.h"
#include "main/member_list_model.h"
#include "main/program_windows.h"
#include "main/results_page.h"
#include "main/settings_io.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int mode = 0;
    if (argc == 4 && std::strcmp(argv[1], "--mode") == 0) {
        mode = std::atoi(argv[2]);
    } else if (argc != 2) {
        std::fprintf(stderr, "usage: %s [--mode 0|1|2] FOLDER\n", argv[0]);
        return 2;
    }
    const char* folder = argv[argc - 1];
    QTemporaryDir settings;
    UseSettingsFile(
        QFile::encodeName(settings.filePath(QStringLiteral("dopplet.INI"))).toStdString());

    CreateProgramWindows();
    MainForm->show();
    WindowOptions options = MainForm->Options();
    options.CompareMode = mode;
    MainForm->SetOptions(options);
    MainForm->findChild<FolderListBox*>(QStringLiteral("DirectoryList"))->SetFolder(folder);
    MainForm->AddButtonClick();
    auto* pages = MainForm->findChild<QTabWidget*>(QStringLiteral("PageControl"));
    pages->setCurrentWidget(pages->findChild<QWidget*>(QStringLiteral("TabSheet1")));
    const auto* phase = MainForm->findChild<QLabel*>(QStringLiteral("StatusPanel1"));

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
    qint64 contentStartMs = -1;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worstDelay = std::max(worstDelay, now - lastTick - 10);
        lastTick = now;
        if (contentStartMs < 0 && mode != 0 && phase->text() == QStringLiteral("内容確認中")) {
            contentStartMs = now;
        }
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
    ResultsPage& page = MainForm->ResultsTab();
    const int rows = page.Groups().Count();

    // One member of the last group goes; the tree stays as it is for the next run.
    func::FileActions actions = func::SystemFileActions();
    actions.MoveToTrash = [](const std::string& path) {
        platform::TrashResult result;
        result.Trashed.OriginalPath = path;
        result.Trashed.TrashedPath = path;
        return result;
    };
    MainForm->SetFileActions(actions);
    qint64 deleteMs = -1;
    if (rows > 0 && page.SelectGroup(page.Groups().GroupAt(rows - 1)) &&
        page.SelectMember(page.Members().SlotAt(0))) {
        QApplication::processEvents();
        QElapsedTimer deleting;
        deleting.start();
        MainForm->FileDelButtonClick();
        QApplication::processEvents();
        deleteMs = deleting.elapsed();
    }

    // Closing: until the window is off the screen (the settings are written by then), and the
    // freeing of the window and its lists that follows before the program ends.
    QElapsedTimer closing;
    closing.start();
    MainForm->close();
    const qint64 closeMs = closing.elapsed();
    closing.restart();
    DestroyProgramWindows();
    const qint64 teardownMs = closing.elapsed();

    std::printf(
        "{\"search_ms\": %lld, \"content_column_ms\": %lld, \"rows\": %d, "
        "\"worst_input_delay_ms\": %lld, \"close_ms\": %lld, \"teardown_ms\": %lld, "
        "\"delete_ms\": %lld}\n",
        static_cast<long long>(endMessageMs),
        static_cast<long long>(contentStartMs < 0 ? 0 : endMessageMs - contentStartMs), rows,
        static_cast<long long>(worstDelay), static_cast<long long>(closeMs),
        static_cast<long long>(teardownMs), static_cast<long long>(deleteMs));
    return 0;
}
