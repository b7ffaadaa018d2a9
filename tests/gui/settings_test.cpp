#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <csignal>

#include "dialogs/user_dialogs.h"
#include "dialogs/window_frame.h"
#include "gui_support.h"
#include "main/main_form.h"
#include "main/program_windows.h"
#include "main/settings_io.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList Captions(const QTreeWidget* list) {
    QStringList captions;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        captions << list->topLevelItem(i)->text(0);
    }
    return captions;
}

// Files may grow to `bytes` at most while it lives; a larger write fails with EFBIG instead of
// ending the process. It holds for root as well, unlike file permissions.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void WithoutAFileTheDefaultsHold();
    void EverySettingComesBackAfterARestart();
    void LoadedEntriesAreUpperCasedAndTidied();
    void FailedSaveKeepsTheWindowOpenAndTheOldFile();
    void ExtremeValuesOpenAWindowAnyway();
    void AnUnreadableFileIsSaidAndReplacedOnlyWhenTheUserAgrees();
    void ADamagedFileIsSaidItsEntriesLoadedAndTheFileKeptAside();

  private:
    void OpenWindow();
    // The real frame around the open main window.
    static QSize Frame();
    void CloseWindow();

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_iniPath;
    std::unique_ptr<MessageRecorder> m_messages;
};

void SettingsTest::initTestCase() {
    QVERIFY(m_home.isValid());
    UsePrivateHome(m_home);
}

void SettingsTest::init() {
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_iniPath = m_folder->filePath("dopplet.INI");
    UseSettingsFile(QFile::encodeName(m_iniPath).toStdString());
    m_messages = std::make_unique<MessageRecorder>();
}

void SettingsTest::cleanup() {
    DestroyProgramWindows();
    m_messages.reset();
    m_folder.reset();
}

void SettingsTest::OpenWindow() {
    DestroyProgramWindows();
    CreateProgramWindows();
    MainForm->show();
    // The stored outer size is applied again once the window has its real frame.
    QVERIFY(QTest::qWaitForWindowExposed(MainForm));
    QTRY_VERIFY(MainForm->frameGeometry().size() != MainForm->size());
    QTest::qWait(100);
}

QSize SettingsTest::Frame() {
    return MainForm->frameGeometry().size() - MainForm->size();
}

void SettingsTest::CloseWindow() {
    QSignalSpy closed(MainForm, &TMainForm::Closed);
    QVERIFY(MainForm->close());
    QCOMPARE(closed.count(), 1);
}

void SettingsTest::WithoutAFileTheDefaultsHold() {
    OpenWindow();
    QCOMPARE(MainForm->IniFile(), QFile::encodeName(m_iniPath).toStdString());
    QCOMPARE(MainForm->pos(), QPoint(0, 0));
    QCOMPARE(MainForm->frameGeometry().size(), QSize(640, 480));
    QCOMPARE(MainForm->minimumSize() + Frame(), QSize(640, 480));
    QCOMPARE(MainForm->Options().PriorityClass, 32);
    QCOMPARE(MainForm->Options().CompareMode, 0);
    QCOMPARE(MainForm->Options().Keep, func::KeepRule::FirstFound);
    QCOMPARE(Named<QTreeWidget>(MainForm, "NoDelList")->topLevelItemCount(), 0);

    CloseWindow();
    QCOMPARE(ReadAll(m_iniPath), QByteArray("[DOPPLETF]\r\nposX=0\r\nposY=0\r\nwidth=640\r\n"
                                            "height=480\r\nPriority=32\r\nCompare_Mode=0\r\n"));
    QVERIFY(m_messages->Texts.isEmpty());
}

void SettingsTest::EverySettingComesBackAfterARestart() {
    OpenWindow();
    MainForm->move(4, 37);
    MainForm->resize(800, 600);
    WindowOptions options = MainForm->Options();
    options.PriorityClass = 64;
    options.CompareMode = 7;  // kept as it is, whatever it means
    options.Filter.MinSize = 1 << 20;
    options.Filter.MaxSize = 0;
    options.Filter.EmptyFiles = false;
    options.Filter.ExcludeList = {"*.tmp"};
    options.Keep = func::KeepRule::Newest;
    MainForm->SetOptions(options);
    for (const QString& entry : {QStringLiteral("d:\\archive"), QStringLiteral("/home/Bak"),
                                 QStringLiteral("d:\\archive")}) {
        Named<QLineEdit>(MainForm, "AddText")->setText(entry);
        MainForm->AddTextKeyPress('\r');
    }
    const QSize frame = Frame();
    CloseWindow();
    QVERIFY(
        ReadAll(m_iniPath).contains(QStringLiteral("posX=4\r\nposY=37\r\nwidth=%1\r\nheight=%2\r\n")
                                        .arg(800 + frame.width())
                                        .arg(600 + frame.height())
                                        .toLatin1()));

    OpenWindow();
    QCOMPARE(MainForm->pos(), QPoint(4, 37));
    QCOMPARE(MainForm->size(), QSize(800, 600));
    const WindowOptions loaded = MainForm->Options();
    QCOMPARE(loaded.PriorityClass, 64);
    QCOMPARE(loaded.CompareMode, 7);
    QCOMPARE(loaded.Filter.MinSize, 1 << 20);
    QCOMPARE(loaded.Filter.MaxSize, 0);
    QVERIFY(!loaded.Filter.EmptyFiles);
    QVERIFY(loaded.Filter.HiddenFiles);
    QCOMPARE(loaded.Filter.ExcludeList, std::vector<std::string>{"*.tmp"});
    QCOMPARE(loaded.Keep, func::KeepRule::Newest);
    QCOMPARE(Captions(Named<QTreeWidget>(MainForm, "NoDelList")),
             (QStringList{QStringLiteral("/HOME/BAK"), QStringLiteral("D:\\ARCHIVE")}));
    QVERIFY(m_messages->Texts.isEmpty());
}

void SettingsTest::LoadedEntriesAreUpperCasedAndTidied() {
    // Every key of the section counts, in file order; a name that is not valid UTF-8 keeps its
    // bytes through the list and back into the file.
    WriteTree(m_folder->path(), {{"dopplet.INI",
                                  "[DOPPLETD]\r\nX=c:\\temp\r\nNODEL00001=C:\\DATA\r\n"
                                  "NODEL00002=/m\xe9"
                                  "dia\r\nNODEL00003=C:\\DATA\r\n"
                                  "[DOPPLETF]\r\nPriority=0x100\r\nwidth=abc\r\n"}});
    OpenWindow();
    QCOMPARE(MainForm->Options().PriorityClass, 256);
    QCOMPARE(MainForm->frameGeometry().width(), 640);
    QCOMPARE(MainForm->NoDelEntries(), (std::vector<std::string>{"/M\xe9"
                                                                 "DIA",
                                                                 "C:\\DATA", "C:\\TEMP"}));

    CloseWindow();
    QVERIFY(
        ReadAll(m_iniPath).endsWith("[DOPPLETD]\r\nNODEL00001=/M\xe9"
                                    "DIA\r\n"
                                    "NODEL00002=C:\\DATA\r\nNODEL00003=C:\\TEMP\r\n"));
}

void SettingsTest::FailedSaveKeepsTheWindowOpenAndTheOldFile() {
    const QByteArray old = "[DOPPLETF]\r\nPriority=64\r\n";
    WriteTree(m_folder->path(), {{"dopplet.INI", old}});
    OpenWindow();
    WindowOptions options = MainForm->Options();
    options.PriorityClass = 128;
    MainForm->SetOptions(options);
    QSignalSpy closed(MainForm, &TMainForm::Closed);
    {
        const FileSizeLimit limit(static_cast<rlim_t>(old.size()));
        QVERIFY(!MainForm->close());
    }
    QCOMPARE(m_messages->Texts, QStringList{m_iniPath + QStringLiteral(" に書き込めません")});
    QCOMPARE(closed.count(), 0);
    QVERIFY(MainForm->isVisible());
    QCOMPARE(ReadAll(m_iniPath), old);
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList{"dopplet.INI"});

    // The next close runs the whole close again, and this time the save succeeds.
    QVERIFY(MainForm->close());
    QCOMPARE(closed.count(), 1);
    QVERIFY(ReadAll(m_iniPath).contains("Priority=128\r\n"));
}

void SettingsTest::ExtremeValuesOpenAWindowAnyway() {
    WriteTree(m_folder->path(), {{"dopplet.INI",
                                  "[DOPPLETF]\r\nposX=-4\r\nposY=2147483647\r\n"
                                  "width=-2147483648\r\nheight=3\r\n"}});
    OpenWindow();
    // An off-screen place is applied; a size below the window's minimum gives the minimum.
    QVERIFY(MainForm->x() < 0);
    QVERIFY(MainForm->y() > 1000000);
    QCOMPARE(MainForm->frameGeometry().size(), QSize(640, 480));
}

void SettingsTest::AnUnreadableFileIsSaidAndReplacedOnlyWhenTheUserAgrees() {
    // A folder where the file should be cannot be read, whoever runs the test.
    QVERIFY(QDir().mkpath(m_iniPath + "/inside"));
    QStringList texts;
    QMessageBox::StandardButton answer = QMessageBox::No;
    UserDialogs::SetAnswerer([&](const UserDialogs::Request& request) {
        texts << request.Text;
        return request.Buttons.testFlag(QMessageBox::Yes) ? answer : QMessageBox::Ok;
    });
    OpenWindow();
    QTRY_COMPARE(texts.size(), 1);
    QVERIFY2(texts[0].startsWith(m_iniPath + " を読み込めません"), qPrintable(texts[0]));

    // No: the window closes and writes nothing.
    CloseWindow();
    QCOMPARE(texts.size(), 2);
    QVERIFY2(texts[1].startsWith(m_iniPath + " は読み込めなかったため"), qPrintable(texts[1]));
    QVERIFY(QFileInfo(m_iniPath + "/inside").isDir());

    // Yes: the write is tried, fails here, and the window stays open.
    answer = QMessageBox::Yes;
    texts.clear();
    OpenWindow();
    QTRY_COMPARE(texts.size(), 1);
    QVERIFY(!MainForm->close());
    QCOMPARE(texts.mid(1), (QStringList{texts[1], m_iniPath + " に書き込めません"}));
    QVERIFY(MainForm->isVisible());
    UserDialogs::SetAnswerer({});
}

void SettingsTest::ADamagedFileIsSaidItsEntriesLoadedAndTheFileKeptAside() {
    // NUL bytes where a crash left the end of the file unwritten.
    const QByteArray damaged =
        QByteArray("[DOPPLETD]\r\nNODEL00001=/X\r\nNODEL00002=/Y\r\n") + QByteArray(512, '\0');
    WriteTree(m_folder->path(), {{"dopplet.INI", damaged}});
    OpenWindow();
    QTRY_COMPARE(m_messages->Texts.size(), 1);
    QVERIFY2(m_messages->Texts[0].startsWith(m_iniPath + " には読めない部分があります。"),
             qPrintable(m_messages->Texts[0]));
    QVERIFY2(m_messages->Texts[0].contains("読めた 2 件"), qPrintable(m_messages->Texts[0]));
    QCOMPARE(Captions(Named<QTreeWidget>(MainForm, "NoDelList")), (QStringList{"/X", "/Y"}));

    CloseWindow();
    QCOMPARE(m_messages->Texts.mid(1),
             QStringList{m_iniPath + " には読めない部分があったため、元のファイルを " + m_iniPath +
                         ".bad として残しました"});
    QCOMPARE(ReadAll(m_iniPath + ".bad"), damaged);
    QVERIFY(ReadAll(m_iniPath).startsWith("[DOPPLETF]\r\n"));
    QVERIFY(ReadAll(m_iniPath).endsWith("[DOPPLETD]\r\nNODEL00001=/X\r\nNODEL00002=/Y\r\n"));
}

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
