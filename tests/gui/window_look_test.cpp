// What the user sees of the windows as a whole: where they open, that no text is cut, and that
// the program leaves no file behind but its own settings.

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "dialogs/About.h"
#include "dialogs/Delform.h"
#include "dialogs/Dirselect.h"
#include "dialogs/Fileinfo.h"
#include "dialogs/Opt_dialog.h"
#include "dialogs/Rename_dialog.h"
#include "dialogs/user_dialogs.h"
#include "gui_support.h"
#include "main/main_form.h"
#include "main/member_list_model.h"
#include "main/program_windows.h"
#include "main/qt_texts.h"
#include "main/results_page.h"

class WindowLookTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void OptionsDialogOpensAtTheCentreOfTheScreen();
    void DialogsOpenAtTheCentreOfTheScreenNotOverTheMainWindow();
    void FramesHaveOnlyTheirBoxes();
    void MessageBoxesAreWideEnoughForTheirTitle();
    void NoLabelCutsItsText();
    void RowsAreTallEnoughForTheirText();
    void NothingButTheSettingsFileIsWritten();
    void QtsOwnTextsAreJapanese();

  private:
    QTemporaryDir m_home;
};

void WindowLookTest::initTestCase() {
    QVERIFY(m_home.isValid());
    UsePrivateHome(m_home);
}

void WindowLookTest::OptionsDialogOpensAtTheCentreOfTheScreen() {
    CreateProgramWindows();
    MainForm->move(0, 0);
    MainForm->show();
    OptSettingForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(OptSettingForm));
    const QPoint centre = OptSettingForm->screen()->availableGeometry().center();
    QVERIFY2((OptSettingForm->frameGeometry().center() - centre).manhattanLength() <= 2,
             qPrintable(QStringLiteral("dialog centre %1,%2")
                            .arg(OptSettingForm->frameGeometry().center().x())
                            .arg(OptSettingForm->frameGeometry().center().y())));
    OptSettingForm->hide();
    DestroyProgramWindows();
}

void WindowLookTest::DialogsOpenAtTheCentreOfTheScreenNotOverTheMainWindow() {
    CreateProgramWindows();
    MainForm->move(0, 0);
    MainForm->show();
    for (QDialog* dialog :
         std::initializer_list<QDialog*>{RenameDialog, DirSelectDialog, FileInfoDialog}) {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        const QPoint centre = dialog->screen()->availableGeometry().center();
        QVERIFY2((dialog->frameGeometry().center() - centre).manhattanLength() <= 2,
                 qPrintable(dialog->objectName() + QStringLiteral(" centre %1,%2")
                                                       .arg(dialog->frameGeometry().center().x())
                                                       .arg(dialog->frameGeometry().center().y())));
        dialog->hide();
    }
    DestroyProgramWindows();
}

void WindowLookTest::FramesHaveOnlyTheirBoxes() {
    CreateProgramWindows();
    // Only the close box, fixed in size: no minimise or maximise box.
    const auto checkDialogFrame = [](const QWidget* window) {
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY2(flags.testFlag(Qt::CustomizeWindowHint) && flags.testFlag(Qt::WindowTitleHint) &&
                     flags.testFlag(Qt::WindowCloseButtonHint) &&
                     !flags.testFlag(Qt::WindowMinimizeButtonHint) &&
                     !flags.testFlag(Qt::WindowMaximizeButtonHint) &&
                     (flags & Qt::WindowType_Mask) == Qt::Dialog,
                 qPrintable(window->windowTitle()));
        QCOMPARE(window->minimumSize(), window->maximumSize());
    };
    for (const QWidget* dialog : std::initializer_list<const QWidget*>{
             AboutBox, RenameDialog, FileInfoDialog, DirSelectDialog, OptSettingForm}) {
        checkDialogFrame(dialog);
    }
    // Every message box: the one that waits, and the one that comes back at once.
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(window);
                box != nullptr && box->isVisible()) {
                checkDialogFrame(box);
                box->accept();
            }
        }
    });
    UserDialogs::Show(MainForm, QMessageBox::Warning, QStringLiteral("検索終了"));
    QMessageBox* box =
        UserDialogs::Open(MainForm, QStringLiteral("検索終了"), Qt::WindowModal, [] {});
    QVERIFY(box != nullptr);
    checkDialogFrame(box);
    box->close();

    // The main window: sizeable, with minimise and close boxes but no maximise box.
    const Qt::WindowFlags flags = MainForm->windowFlags();
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowFullscreenButtonHint));
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
    QVERIFY(MainForm->minimumSize() != MainForm->maximumSize());
    DestroyProgramWindows();
}

void WindowLookTest::MessageBoxesAreWideEnoughForTheirTitle() {
    CreateProgramWindows();
    MainForm->show();
    QMessageBox* box =
        UserDialogs::Open(MainForm, QStringLiteral("検索終了"), Qt::WindowModal, [] {});
    QVERIFY(box != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QVERIFY2(box->width() >= UserDialogs::kMinimumBoxWidth,
             qPrintable(QString::number(box->width())));
    // Room for the title beside the title bar's boxes.
    QVERIFY(box->width() >= QFontMetrics(box->font()).horizontalAdvance(box->windowTitle()) + 100);
    box->close();
    DestroyProgramWindows();
}

void WindowLookTest::NoLabelCutsItsText() {
    TOptSettingForm options;
    QLabel* warning = options.Label1;
    QVERIFY(warning->height() >= warning->heightForWidth(warning->width()));
    QVERIFY(warning->geometry().bottom() < options.OKButton->y());

    // The About box as the program fills it.
    CreateProgramWindows();
    UserDialogs::SetDialogAnswerer([](QDialog&) { return QDialog::Accepted; });
    MainForm->MenuAboutClick();
    UserDialogs::SetDialogAnswerer({});
    for (const QLabel* label : {AboutBox->ProductName, AboutBox->Version, AboutBox->Copyright}) {
        QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()),
                 qPrintable(label->text()));
        QVERIFY(label->geometry().right() < AboutBox->Panel1->width());
    }
    DestroyProgramWindows();
}

void WindowLookTest::RowsAreTallEnoughForTheirText() {
    CreateProgramWindows();
    MainForm->show();
    // Every row is as tall as the first; a first row of plain Latin letters must leave room for
    // the taller glyphs of a Japanese name below it, and for the grid line.
    search::ResultGroup& group = MainForm->Results().Group(0);
    for (const char* name : {"report.txt", "報告書2024_g_y.txt"}) {
        search::ResultMember member;
        member.Folder = "/nowhere/";
        member.Name = name;
        group.Members.push_back(member);
    }
    group.MemberCount = 2;
    MainForm->PostGroupRow(0);
    ResultsPage& page = MainForm->ResultsTab();
    QVERIFY(page.SelectGroup(0));
    const QModelIndex row = page.Members().index(page.Members().RowOf(1), 0);
    QCOMPARE(row.data().toString(), QStringLiteral("報告書2024_g_y.txt"));
    const QRect cell = page.MemberView()->visualRect(row);
    const QFontMetrics metrics(page.MemberView()->font());
    QVERIFY2(cell.height() >= metrics.boundingRect(row.data().toString()).height() + 2,
             qPrintable(QString::number(cell.height())));
    // The date column at its designed width holds the longest date.
    const QString longestDate = QStringLiteral("2024/12/31 23:59:59");
    QVERIFY2(page.MemberView()->columnWidth(2) >= metrics.horizontalAdvance(longestDate) + 8,
             qPrintable(QString::number(metrics.horizontalAdvance(longestDate))));
    DestroyProgramWindows();
}

void WindowLookTest::NothingButTheSettingsFileIsWritten() {
    // The report's save dialog exists from the start; Qt's file dialog keeps a history of its own
    // unless told otherwise.
    CreateProgramWindows();
    MainForm->show();
    DelListForm->SaveDialog->show();
    DelListForm->SaveDialog->hide();
    DestroyProgramWindows();
    const QStringList written =
        QDir(m_home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& entry : written) {
        const QDir folder(m_home.filePath(entry));
        QVERIFY2(!folder.exists() || folder.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot),
                 qPrintable(entry + ": " + folder.entryList().join(u' ')));
    }
}

void WindowLookTest::QtsOwnTextsAreJapanese() {
    QVERIFY(InstallJapaneseQtTexts(*QCoreApplication::instance()));
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Dopplet"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
    QVERIFY2(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("はい")),
             qPrintable(box.button(QMessageBox::Yes)->text()));
    QVERIFY(box.button(QMessageBox::No)->text().contains(QStringLiteral("いいえ")));

    // The report's save dialog, as the program creates it.
    CreateProgramWindows();
    QFileDialog* dialog = DelListForm->SaveDialog;
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->show();
    QStringList labels;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
        labels << label->text();
    }
    for (const QPushButton* button : dialog->findChildren<QPushButton*>()) {
        labels << button->text();
    }
    dialog->hide();
    DestroyProgramWindows();
    QVERIFY2(labels.contains(QStringLiteral("ファイル名(&N):")), qPrintable(labels.join(u'|')));
    for (const char* english : {"File &name:", "Look in:", "&Save", "Cancel"}) {
        QVERIFY2(!labels.contains(QString::fromLatin1(english)), english);
    }
}

QTEST_MAIN(WindowLookTest)
#include "window_look_test.moc"
