#include "main/screenshot_mode.h"

#include <QFile>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include "dialogs/folder_list_box.h"
#include "dialogs/user_dialogs.h"
#include "main/main_form.h"

namespace {

void SaveShot(TMainForm& window, QWidget* page, const QString& file) {
    window.PageControl->setCurrentWidget(page);
    window.repaint();
    window.grab().save(file, "PNG");
}

}  // namespace

void StartScreenshotModeIfAsked(TMainForm& window) {
    const QByteArray shot = qgetenv("DOPPLET_SCREENSHOT");
    const QByteArray folder = qgetenv("DOPPLET_AUTOSEARCH");
    if (shot.isEmpty() || folder.isEmpty()) {
        return;
    }
    UserDialogs::SetAnswerer([](const UserDialogs::Request&) { return QMessageBox::Ok; });
    window.DirectoryList->SetFolder(folder.toStdString());
    window.AddButtonClick();
    QObject::connect(&window, &TMainForm::SearchJobEnded, &window, [&window, shot] {
        if (window.SameList->topLevelItemCount() > 0) {
            window.SameList->setCurrentItem(window.SameList->topLevelItem(0));
        }
        // Let the window lay itself out and paint before it is photographed.
        QTimer::singleShot(300, &window, [&window, shot] {
            const QString file = QFile::decodeName(shot);
            QString targets = file;
            targets.replace(QStringLiteral(".png"), QStringLiteral("-targets.png"));
            SaveShot(window, window.TabSheet2, targets);
            SaveShot(window, window.TabSheet1, file);
            window.close();
        });
    });
    QTimer::singleShot(300, &window, [&window] { window.SearchButtonClick(); });
}
