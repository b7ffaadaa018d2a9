// Program start: creates the seven windows, shows the main window and runs until it closes.

#include <QApplication>
#include <exception>

#include "dialogs/user_dialogs.h"
#include "main/main_form.h"
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

}  // namespace

int main(int argc, char* argv[]) {
    platform::RaiseOpenFileLimit();
    DoppletApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("dopplet"));
    app.setQuitOnLastWindowClosed(false);
    InstallJapaneseQtTexts(app);
    try {
        CreateProgramWindows();
        QObject::connect(MainForm, &TMainForm::Closed, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        MainForm->show();
        app.exec();
    } catch (const std::exception& error) {
        UserDialogs::Show(nullptr, QMessageBox::Critical, QString::fromLocal8Bit(error.what()));
    }
    DestroyProgramWindows();
    return 0;
}
