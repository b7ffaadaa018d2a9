#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <string>

#include "dialogs/Fileinfo.h"
#include "gui_support.h"

class FileInfoTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void LayoutTexts();
    void SizeBeyondFourGiBAndZero();
    void ShowsExactlyTheAttributesSet_data();
    void ShowsExactlyTheAttributesSet();
    void DatesInTheUsersFormat_data();
    void DatesInTheUsersFormat();
    void NameAndFolder();
    void FileGoneKeepsWhatWasShown();
    void TickingABoxChangesNothing();

  private:
    std::string Path(const std::string& name) const {
        return m_dir->path().toStdString() + "/" + name;
    }
    void Show(TFileInfoDialog& dialog, const std::string& path);

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

void MakeFile(const std::string& path, mode_t mode = 0644, off_t size = 0) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
    QVERIFY(fd >= 0);
    QVERIFY(ftruncate(fd, size) == 0);
    close(fd);
    QVERIFY(chmod(path.c_str(), mode) == 0);
}

void SetModified(const std::string& path, const QDateTime& local) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {local.toSecsSinceEpoch(), 0}};
    QVERIFY(utimensat(AT_FDCWD, path.c_str(), times, 0) == 0);
}

}  // namespace

void FileInfoTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void FileInfoTest::cleanup() {
    m_dir.reset();
}

void FileInfoTest::Show(TFileInfoDialog& dialog, const std::string& path) {
    dialog.FilePath = path;
    dialog.show();  // FormShow runs before the dialog is drawn
    dialog.hide();
}

void FileInfoTest::LayoutTexts() {
    TFileInfoDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("ﾌｧｲﾙの情報"));
    QCOMPARE(dialog.size(), QSize(347, 323));
    QCOMPARE(dialog.FileSize->text(), QStringLiteral("FileSize"));
    QCOMPARE(dialog.Label7->text(), QStringLiteral("MS-DOS名"));
    QCOMPARE(dialog.Label6->text(), QStringLiteral("注)ﾁｪｯｸしても機能しません"));
    const QStringList boxes{dialog.ReadOnlyCB->text(), dialog.HiddenCB->text(),
                            dialog.ArchiveCB->text(), dialog.SystemCB->text(),
                            dialog.CompressedCB->text()};
    QCOMPARE(boxes, (QStringList{QStringLiteral("読み取り専用"), QStringLiteral("隠し属性"),
                                 QStringLiteral("ｱｰｶｲﾌﾞ"), QStringLiteral("ｼｽﾃﾑ属性"),
                                 QStringLiteral("圧縮")}));
}

void FileInfoTest::SizeBeyondFourGiBAndZero() {
    TFileInfoDialog dialog;
    // A sparse file: 5 GiB and one byte that take no room on disk.
    const off_t big = (off_t{5} << 30) + 1;
    MakeFile(Path("big.bin"), 0644, big);
    Show(dialog, Path("big.bin"));
    QCOMPARE(dialog.FileSize->text(), QStringLiteral("5368709121 ﾊﾞｲﾄ"));

    MakeFile(Path("empty"));
    Show(dialog, Path("empty"));
    QCOMPARE(dialog.FileSize->text(), QStringLiteral("0 ﾊﾞｲﾄ"));
}

void FileInfoTest::ShowsExactlyTheAttributesSet_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("plain") << "plain.txt" << 0644 << false << false;
    QTest::newRow("read-only") << "ro.txt" << 0444 << true << false;
    QTest::newRow("hidden") << ".hidden" << 0600 << false << true;
    QTest::newRow("read-only and hidden") << ".both" << 0400 << true << true;
}

void FileInfoTest::ShowsExactlyTheAttributesSet() {
    QFETCH(QString, name);
    QFETCH(int, mode);
    QFETCH(bool, readOnly);
    QFETCH(bool, hidden);
    TFileInfoDialog dialog;
    // Start from the opposite ticks, so that each box is written by the showing.
    dialog.ReadOnlyCB->setChecked(!readOnly);
    dialog.HiddenCB->setChecked(!hidden);
    dialog.ArchiveCB->setChecked(true);
    dialog.SystemCB->setChecked(true);
    dialog.CompressedCB->setChecked(true);
    MakeFile(Path(name.toStdString()), static_cast<mode_t>(mode));

    Show(dialog, Path(name.toStdString()));

    QCOMPARE(dialog.ReadOnlyCB->isChecked(), readOnly);
    QCOMPARE(dialog.HiddenCB->isChecked(), hidden);
    QVERIFY(!dialog.ArchiveCB->isChecked());
    QVERIFY(!dialog.SystemCB->isChecked());
    QVERIFY(!dialog.CompressedCB->isChecked());
}

void FileInfoTest::DatesInTheUsersFormat_data() {
    // The program runs under a Japanese locale here (see main).
    QTest::addColumn<QDateTime>("modified");
    QTest::addColumn<QString>("expected");
    QTest::newRow("with a time") << QDateTime(QDate(2002, 3, 15), QTime(9, 5, 7))
                                 << "2002/03/15 9:05:07";
    QTest::newRow("midnight: date alone")
        << QDateTime(QDate(2002, 3, 15), QTime(0, 0, 0)) << "2002/03/15";
    QTest::newRow("afternoon") << QDateTime(QDate(2024, 12, 1), QTime(23, 0, 59))
                               << "2024/12/01 23:00:59";
}

void FileInfoTest::DatesInTheUsersFormat() {
    QFETCH(QDateTime, modified);
    QFETCH(QString, expected);
    MakeFile(Path("dated"));
    SetModified(Path("dated"), modified);
    TFileInfoDialog dialog;
    Show(dialog, Path("dated"));
    QCOMPARE(dialog.UpdateDate->text(), expected);
    // Where the file system keeps a birth time it is today's; otherwise the label is empty.
    const QString created = dialog.CreateDate->text();
    QVERIFY(created.isEmpty() ||
            created.startsWith(QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"))));
}

void FileInfoTest::NameAndFolder() {
    TFileInfoDialog dialog;
    MakeFile(Path("README.TXT"));
    Show(dialog, Path("README.TXT"));
    QCOMPARE(dialog.FileName->text(), QStringLiteral("README.TXT"));
    QCOMPARE(dialog.ShortName->text(), QStringLiteral("README.TXT"));
    QCOMPARE(dialog.Directory->text(), m_dir->path());

    const struct {
        const char* Path;
        const char* Folder;
    } folders[] = {{"/x", "/"}, {"/a/b/c", "/a/b"}, {"/a/b/", "/a"}};
    for (const auto& test : folders) {
        QCOMPARE(TFileInfoDialog::FolderOf(test.Path), std::string(test.Folder));
    }
}

void FileInfoTest::FileGoneKeepsWhatWasShown() {
    TFileInfoDialog dialog;
    Show(dialog, Path("never there"));
    QCOMPARE(dialog.FileSize->text(), QStringLiteral("FileSize"));
    QCOMPARE(dialog.FileName->text(), QString());

    MakeFile(Path("there"), 0644, 3);
    Show(dialog, Path("there"));
    QVERIFY(unlink(Path("there").c_str()) == 0);
    Show(dialog, Path("there"));
    QCOMPARE(dialog.FileName->text(), QStringLiteral("there"));
    QCOMPARE(dialog.FileSize->text(), QStringLiteral("3 ﾊﾞｲﾄ"));
}

void FileInfoTest::TickingABoxChangesNothing() {
    TFileInfoDialog dialog;
    MakeFile(Path("file"), 0644);
    dialog.FilePath = Path("file");
    dialog.show();
    QTest::mouseClick(dialog.ReadOnlyCB, Qt::LeftButton);
    QTest::mouseClick(dialog.HiddenCB, Qt::LeftButton);
    QVERIFY(dialog.ReadOnlyCB->isChecked());
    dialog.OKBtn->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    struct stat st {};
    QVERIFY(stat(Path("file").c_str(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, mode_t{0644});
    Show(dialog, Path("file"));
    QVERIFY(!dialog.ReadOnlyCB->isChecked());
    QVERIFY(!dialog.HiddenCB->isChecked());
}

// Dates are shown in the user's formats: run under a Japanese locale, whose short date is
// year/month/day and whose time is hour:minute:second.
int main(int argc, char** argv) {
    qputenv("LC_ALL", "ja_JP.UTF-8");
    QApplication app(argc, argv);
    FileInfoTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "fileinfo_test.moc"
