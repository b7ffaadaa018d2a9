#include "main/program_windows.h"

#include <QSettings>

#include "dialogs/About.h"
#include "dialogs/Delform.h"
#include "dialogs/Dirselect.h"
#include "dialogs/Fileinfo.h"
#include "dialogs/Opt_dialog.h"
#include "dialogs/Rename_dialog.h"
#include "main/main_form.h"

void CreateProgramWindows() {
    // The program keeps nothing but its own settings file. Qt's file dialog (the report's save
    // dialog) would keep a history in QtProject.conf under the user's configuration folder; its
    // settings go to a place where nothing can be written instead.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    MainForm = new TMainForm;
    AboutBox = new TAboutBox(MainForm);
    RenameDialog = new TRenameDialog(MainForm);
    DelListForm = new TDelListForm(MainForm);
    FileInfoDialog = new TFileInfoDialog(MainForm);
    DirSelectDialog = new TDirSelectDialog(MainForm);
    OptSettingForm = new TOptSettingForm(MainForm);
}

void DestroyProgramWindows() {
    delete MainForm;
    MainForm = nullptr;
    AboutBox = nullptr;
    RenameDialog = nullptr;
    DelListForm = nullptr;
    FileInfoDialog = nullptr;
    DirSelectDialog = nullptr;
    OptSettingForm = nullptr;
}
