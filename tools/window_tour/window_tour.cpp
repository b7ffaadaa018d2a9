// Shows the real windows as a user sees them and saves a picture of each: the three pages of the
// main window after a search of FOLDER, the options dialog, the About box, the rename, folder
// selection and file information dialogs, and the deletion report. The settings live in a
// temporary file; every question is answered with OK. Run it under a desktop (or Xvfb with a
// window manager): the pictures are taken of the whole screen, so they show the window frames.
//
// Usage: dopplet-window-tour FOLDER OUTPUT_FOLDER

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

#include "dialogs/Delform.h"
#include "dialogs/folder_list_box.h"
#include "dialogs/user_dialogs.h"
#include "main/main_form.h"
#include "main/program_windows.h"
#include "main/qt_texts.h"
#include "main/settings_io.h"

namespace {

QString g_output;

void Snap(const QString& name) {
    // Long enough for the window manager to frame and the window to paint.
    QTest::qWait(400);
    const QString file = QDir(g_output).filePath(name + QStringLiteral(".png"));
    QGuiApplication::primaryScreen()->grabWindow(0).save(file, "PNG");
    std::printf("%s\n", qPrintable(file));
}

void ShowPage(QWidget* page, const QString& name) {
    MainForm->PageControl->setCurrentWidget(page);
    Snap(name);
}

// Shows each modal dialog for a moment instead of running it, takes its picture and cancels it.
void PhotographDialogs() {
    UserDialogs::SetDialogAnswerer([](QDialog& dialog) -> std::optional<int> {
        dialog.show();
        Snap(QStringLiteral("dialog-") + QLatin1String(dialog.metaObject()->className()));
        dialog.hide();
        return QDialog::Rejected;
    });
}

// Runs a search of the target list and selects the first group row.
void Search() {
    bool ended = false;
    const QMetaObject::Connection connection =
        QObject::connect(MainForm, &TMainForm::SearchJobEnded, [&ended] { ended = true; });
    MainForm->SearchButtonClick();
    QTRY_VERIFY_WITH_TIMEOUT(ended, 600000);
    QObject::disconnect(connection);
    if (MainForm->SameList->topLevelItemCount() > 0) {
        MainForm->SameList->setCurrentItem(MainForm->SameList->topLevelItem(0));
    }
}

void Tour(const QString& folder) {
    MainForm->DirectoryList->SetFolder(QFile::encodeName(folder).toStdString());
    MainForm->AddButtonClick();
    Search();
    ShowPage(MainForm->TabSheet1, QStringLiteral("results"));
    ShowPage(MainForm->TabSheet2, QStringLiteral("targets"));
    ShowPage(MainForm->TabSheet3, QStringLiteral("no-delete"));
    MainForm->PageControl->setCurrentWidget(MainForm->TabSheet1);

    PhotographDialogs();
    MainForm->MenuOptSetClick();
    MainForm->MenuAboutClick();
    if (MainForm->DetailList->topLevelItemCount() > 0) {
        MainForm->DetailList->setCurrentItem(MainForm->DetailList->topLevelItem(0));
        MainForm->RenameButtonClick();
        MainForm->MoveButtonClick();
        MainForm->DetailPropertyClick();
    }
    // The report window, as a bulk delete would show it, without deleting anything.
    DelListForm->show();
    DelListForm->AddReportRow(QFile::encodeName(folder).toStdString() + "/example.txt",
                              func::ReportStatus::NotDeleted);
    DelListForm->AddReportRow(QFile::encodeName(folder).toStdString() + "/example (1).txt",
                              func::ReportStatus::Restored);
    Snap(QStringLiteral("report"));
    DelListForm->hide();

    // A name mode: the member list says which copies hold the first one's bytes.
    MainForm->CompareModeSetting = 2;
    MainForm->FormPaint();
    Search();
    Snap(QStringLiteral("results-names"));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("dopplet"));
    InstallJapaneseQtTexts(app);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    g_output = QFile::decodeName(argv[2]);
    QDir().mkpath(g_output);
    QTemporaryDir settings;
    UseSettingsFile(
        QFile::encodeName(settings.filePath(QStringLiteral("dopplet.INI"))).toStdString());
    UserDialogs::SetAnswerer([](const UserDialogs::Request&) { return QMessageBox::Ok; });

    CreateProgramWindows();
    MainForm->show();
    MainForm->activateWindow();
    Tour(QDir(QFile::decodeName(argv[1])).absolutePath());
    MainForm->close();
    DestroyProgramWindows();
    return 0;
}
