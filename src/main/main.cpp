// Program start: reads the command line, creates the seven windows, adds the folders given as
// search targets, shows the main window and runs until it closes.

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "dialogs/user_dialogs.h"
#include "main/command_line.h"
#include "main/main_form.h"
#include "main/program_info.h"
#include "main/program_windows.h"
#include "main/qt_texts.h"
#include "platform/open_files.h"

namespace {

// An error that escapes an event handler is shown, and the program goes on.
class DoppletApplication : public QApplication {
  public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            UserDialogs::Show(nullptr, QMessageBox::Critical, QString::fromLocal8Bit(error.what()));
        }
        return false;
    }
};

std::vector<std::string> ArgumentsOf(int argc, char* argv[]) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

// Answers --help, --version and a problem on the terminal; returns the exit status, or -1 when
// the window is to open.
int Answer(const WindowArguments& arguments) {
    switch (arguments.Request) {
        case WindowRequest::Help:
            std::fputs(kWindowUsage, stdout);
            return 0;
        case WindowRequest::Version:
            std::puts("dopplet " DOPPLET_VERSION);
            return 0;
        case WindowRequest::Usage:
            std::fprintf(stderr, "dopplet: %s\nTry 'dopplet --help' for more information.\n",
                         arguments.Problem.c_str());
            return 2;
        case WindowRequest::Run:
            break;
    }
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    // --help and --version answer before the toolkit, which needs a display.
    const WindowArguments early = ParseWindowArguments(ArgumentsOf(argc, argv));
    if (early.Request == WindowRequest::Help || early.Request == WindowRequest::Version) {
        return Answer(early);
    }
    platform::RaiseOpenFileLimit();
    DoppletApplication app(argc, argv);
    // The toolkit has taken its own options, such as -platform, out of argv.
    const WindowArguments arguments = ParseWindowArguments(ArgumentsOf(argc, argv));
    if (const int status = Answer(arguments); status >= 0) {
        return status;
    }
    app.setApplicationName(QStringLiteral("dopplet"));
    // Ties the windows to the desktop entry, for the icon and the grouping in docks and shells.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.dopplet.Dopplet"));
    app.setQuitOnLastWindowClosed(false);
    InstallJapaneseQtTexts(app);
    try {
        CreateProgramWindows();
        QObject::connect(MainForm, &TMainForm::Closed, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        if (!arguments.Folders.empty()) {
            MainForm->AddTargets(arguments.Folders);
        }
        MainForm->show();
        app.exec();
    } catch (const std::exception& error) {
        UserDialogs::Show(nullptr, QMessageBox::Critical, QString::fromLocal8Bit(error.what()));
    }
    DestroyProgramWindows();
    return 0;
}
