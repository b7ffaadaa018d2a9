// Shows the real windows as a user sees them and saves a picture of each: the three pages of the
// main window after a search of FOLDER, the options dialog, the About box, the rename, folder
// selection and file information dialogs, the list of paths the search could not look at, the
// deletion report and a preview of the bulk delete. The settings live in a temporary file; every
// question is answered with OK. Run it under a desktop (or Xvfb with a window manager): the
// pictures are taken of the whole screen, so they show the window frames.
//
// Usage: dopplet-window-tour FOLDER OUTPUT_FOLDER

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <string>
#include <system_error>

#include "dialogs/Delform.h"
#include "dialogs/Skipped_list.h"
#include "dialogs/folder_list_box.h"
#include "dialogs/user_dialogs.h"
#include "main/group_list_model.h"
#include "main/main_form.h"
#include "main/member_list_model.h"
#include "main/program_windows.h"
#include "main/qt_texts.h"
#include "main/results_page.h"
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

// The main window's part named `name` (its objectName).
template <typename T>
T* Named(const char* name) {
    return MainForm->findChild<T*>(QString::fromLatin1(name));
}

// Shows the main window's page named `page` (TabSheet1 to TabSheet3).
void ShowPage(const char* page) {
    Named<QTabWidget>("PageControl")->setCurrentWidget(Named<QWidget>(page));
}

void SnapPage(const char* page, const QString& name) {
    ShowPage(page);
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
    ResultsPage& page = MainForm->ResultsTab();
    if (page.Groups().Count() > 0) {
        page.SelectGroup(page.Groups().GroupAt(0));
    }
}

// Selects the group row that shows `name`, if there is one.
void SelectGroupNamed(const QString& name) {
    const GroupListModel& groups = MainForm->ResultsTab().Groups();
    for (int row = 0; row < groups.Count(); ++row) {
        if (groups.index(row, GroupListModel::kNameColumn).data().toString() == name) {
            MainForm->ResultsTab().SelectGroup(groups.GroupAt(row));
        }
    }
}

void Tour(const QString& folder) {
    const std::string root = QFile::encodeName(folder).toStdString();
    Named<FolderListBox>("DirectoryList")->SetFolder(root);
    MainForm->AddButtonClick();
    // The first search also meets paths that it cannot look at, as the search would report them
    // on a real disk (this tour runs where every file may be read).
    const QMetaObject::Connection skips =
        QObject::connect(MainForm, &TMainForm::SearchStateChanged, [root](bool running) {
            if (!running) {
                return;
            }
            MainForm->PathSkipped({root + "/非公開", search::SkipReason::FolderUnreadable,
                                   std::make_error_code(std::errc::permission_denied)});
            MainForm->PathSkipped({root + "/docs/壊れた.dat", search::SkipReason::FileUnreadable,
                                   std::make_error_code(std::errc::io_error)});
            MainForm->PathSkipped(
                {root + "/docs/書きかけ.txt", search::SkipReason::FileChanged, {}});
            MainForm->PathSkipped({root + "/写真/" + std::string(300, 'x'),
                                   search::SkipReason::EntryUnreadable,
                                   std::make_error_code(std::errc::filename_too_long)});
        });
    // The member list marks the copy that the bulk delete keeps: here the one with the shortest
    // path, which need not be the first.
    WindowOptions options = MainForm->Options();
    options.Keep = func::KeepRule::ShortestPath;
    MainForm->SetOptions(options);
    Search();
    QObject::disconnect(skips);
    SnapPage("TabSheet1", QStringLiteral("results"));
    MainForm->MenuSkippedClick();
    Snap(QStringLiteral("skipped-list"));
    MainForm->findChild<TSkippedListForm*>()->hide();
    SnapPage("TabSheet2", QStringLiteral("targets"));
    SnapPage("TabSheet3", QStringLiteral("no-delete"));
    ShowPage("TabSheet1");

    PhotographDialogs();
    // The options dialog with filters set, as a user would fill them.
    const WindowOptions before = MainForm->Options();
    WindowOptions filtered = before;
    filtered.Filter.MinSize = 1 << 20;
    filtered.Filter.HiddenFiles = false;
    filtered.Filter.ExcludeList = {"*.tmp", "node_modules", ".git", "一時フォルダ"};
    MainForm->SetOptions(filtered);
    MainForm->MenuOptSetClick();
    MainForm->SetOptions(before);
    MainForm->MenuAboutClick();
    const MemberListModel& members = MainForm->ResultsTab().Members();
    if (members.Count() > 0) {
        MainForm->ResultsTab().SelectMember(members.SlotAt(0));
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
    // A restore that fails because a new file took the name.
    DelListForm->AddReportRow(QFile::encodeName(folder).toStdString() + "/docs/report.txt",
                              func::ReportStatus::Deleted);
    func::FileActions actions = func::SystemFileActions();
    actions.RestoreFromTrash = [](const platform::TrashedFile&) {
        return std::make_error_code(std::errc::file_exists);
    };
    DelListForm->SetFileActions(actions);
    DelListForm->ProgressList->selectRow(2);
    DelListForm->ListRestoreClick();
    DelListForm->ProgressList->clearSelection();
    Snap(QStringLiteral("report"));
    DelListForm->hide();

    // The preview of the bulk delete, which deletes nothing.
    MainForm->PreviewDeleteClick();
    Snap(QStringLiteral("preview"));
    DelListForm->hide();

    // A name mode: the member list says which copies hold the first one's bytes.
    options = MainForm->Options();
    options.CompareMode = 2;
    MainForm->SetOptions(options);
    MainForm->FormPaint();
    Search();
    // Three files of one name and three contents: none holds the first one's bytes.
    SelectGroupNamed(QStringLiteral("報告書.txt"));
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
