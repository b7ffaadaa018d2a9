#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "dialogs/Dirselect.h"
#include "dialogs/folder_list_box.h"
#include "gui_support.h"

class DirSelectTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void TitleAndTexts();
    void HighlightedFolderIsNotTheSelectedOne_data();
    void HighlightedFolderIsNotTheSelectedOne();
    void OpenFolderShowsItsFilesAndItsPath();
    void EachShowingListsFoldersMadeMeanwhile();
    void VanishedFolderGivesWayToItsNearestParent();
    void RootEndsInItsSeparator();
    void ShortenedPathKeepsTheEnd_data();
    void ShortenedPathKeepsTheEnd();

  private:
    QString Top() const { return m_root->path() + "/top"; }
    static int Line(const FolderListBox* list, const QString& text);

    std::unique_ptr<QTemporaryDir> m_root;
};

int DirSelectTest::Line(const FolderListBox* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == text) {
            return i;
        }
    }
    return -1;
}

void DirSelectTest::init() {
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    WriteTree(Top(), {{"sub/inner.txt", "x"},
                      {"zfile", "z"},
                      {QStringLiteral("ファイル.txt"), "f"},
                      {"file.txt", "f"},
                      {".hidden", "h"}});
    QVERIFY(QDir(Top()).mkpath("other"));
}

void DirSelectTest::cleanup() {
    m_root.reset();
}

void DirSelectTest::TitleAndTexts() {
    TDirSelectDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("ディレクトリを指定して下さい"));
    dialog.SetDialogTitle(QStringLiteral("移動先を指定して下さい"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("移動先を指定して下さい"));
    QCOMPARE(dialog.OKBtn->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.CancelBtn->text(), QStringLiteral("キャンセル"));
    QCOMPARE(dialog.size(), QSize(447, 242));
    // It starts in the working folder.
    QCOMPARE(QFile::decodeName(dialog.SelectedFolder().c_str()), QDir::currentPath());
}

void DirSelectTest::HighlightedFolderIsNotTheSelectedOne_data() {
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("click, then OK") << false;
    QTest::newRow("arrow keys, then Enter") << true;
}

void DirSelectTest::HighlightedFolderIsNotTheSelectedOne() {
    QFETCH(bool, byEnter);
    TDirSelectDialog dialog;
    dialog.DirectoryListBox->SetFolder(Top().toStdString());
    dialog.show();
    const int sub = Line(dialog.DirectoryListBox, "sub");
    QVERIFY(sub >= 0);
    if (byEnter) {
        dialog.DirectoryListBox->setFocus();
        dialog.DirectoryListBox->setCurrentRow(sub - 1);
        QTest::keyClick(dialog.DirectoryListBox, Qt::Key_Down);
        QCOMPARE(dialog.DirectoryListBox->currentRow(), sub);
        QTest::keyClick(dialog.DirectoryListBox, Qt::Key_Return);
    } else {
        QTest::mouseClick(
            dialog.DirectoryListBox->viewport(), Qt::LeftButton, {},
            dialog.DirectoryListBox->visualItemRect(dialog.DirectoryListBox->item(sub)).center());
        QCOMPARE(dialog.DirectoryListBox->currentRow(), sub);
        dialog.OKBtn->click();
    }
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(dialog.SelectedFolder()), Top());
}

void DirSelectTest::OpenFolderShowsItsFilesAndItsPath() {
    TDirSelectDialog dialog;
    dialog.show();
    dialog.DirectoryListBox->SetFolder(Top().toStdString());
    QStringList files;
    for (int i = 0; i < dialog.FileListBox->count(); ++i) {
        files << dialog.FileListBox->item(i)->text();
    }
    // Sorted, without hidden files and folders.
    QCOMPARE(files, (QStringList{"file.txt", "zfile", QStringLiteral("ファイル.txt")}));
    QCOMPARE(dialog.DirectoryLabel->toolTip(), Top());

    // Opening a folder by double click changes the selection and the file list.
    const int sub = Line(dialog.DirectoryListBox, "sub");
    const QPoint onSub =
        dialog.DirectoryListBox->visualItemRect(dialog.DirectoryListBox->item(sub)).center();
    QTest::mouseClick(dialog.DirectoryListBox->viewport(), Qt::LeftButton, {}, onSub);
    QTest::mouseDClick(dialog.DirectoryListBox->viewport(), Qt::LeftButton, {}, onSub);
    QCOMPARE(QString::fromStdString(dialog.SelectedFolder()), Top() + "/sub");
    QCOMPARE(dialog.FileListBox->count(), 1);
    QCOMPARE(dialog.DirectoryLabel->toolTip(), Top() + "/sub");
    const QFontMetrics metrics(dialog.DirectoryLabel->font());
    QVERIFY(metrics.horizontalAdvance(dialog.DirectoryLabel->text()) <=
            dialog.DirectoryLabel->width());
    QVERIFY(dialog.DirectoryLabel->text().endsWith("/top/sub"));
}

void DirSelectTest::EachShowingListsFoldersMadeMeanwhile() {
    TDirSelectDialog dialog;
    dialog.DirectoryListBox->SetFolder(Top().toStdString());
    dialog.show();
    dialog.reject();
    QVERIFY(QDir(Top()).mkpath("made later"));
    WriteTree(Top(), {{"new file", "n"}});
    dialog.show();
    QVERIFY(Line(dialog.DirectoryListBox, "made later") >= 0);
    QVERIFY(!dialog.FileListBox->findItems("new file", Qt::MatchExactly).isEmpty());
}

void DirSelectTest::VanishedFolderGivesWayToItsNearestParent() {
    TDirSelectDialog dialog;
    QVERIFY(QDir(Top()).mkpath("sub/deep/deeper"));
    dialog.DirectoryListBox->SetFolder((Top() + "/sub/deep/deeper").toStdString());
    QVERIFY(QDir(Top() + "/sub").removeRecursively());
    dialog.show();
    QVERIFY(dialog.isVisible());
    QCOMPARE(QString::fromStdString(dialog.SelectedFolder()), Top());
    QCOMPARE(dialog.DirectoryLabel->toolTip(), Top());
    QCOMPARE(dialog.FileListBox->count(), 3);
}

void DirSelectTest::RootEndsInItsSeparator() {
    TDirSelectDialog dialog;
    dialog.DirectoryListBox->SetFolder("/");
    dialog.show();
    QCOMPARE(dialog.SelectedFolder(), std::string("/"));
    QCOMPARE(dialog.DirectoryLabel->text(), QStringLiteral("/"));
}

void DirSelectTest::ShortenedPathKeepsTheEnd_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("widthInChars");
    QTest::addColumn<QString>("expected");
    QTest::newRow("fits") << "/home/user/a" << 40 << "/home/user/a";
    QTest::newRow("leading names dropped")
        << "/home/user/music/albums/2024" << 22 << "/.../music/albums/2024";
    QTest::newRow("one more dropped") << "/home/user/music/albums/2024" << 21 << "/.../albums/2024";
    QTest::newRow("only the last name fits") << "/a/b/c/last" << 9 << "/.../last";
}

void DirSelectTest::ShortenedPathKeepsTheEnd() {
    QFETCH(QString, path);
    QFETCH(int, widthInChars);
    QFETCH(QString, expected);
    // A fixed-pitch font makes the width a number of characters.
    QFont font(QStringLiteral("monospace"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QString(widthInChars, QLatin1Char('x')));
    QCOMPARE(TDirSelectDialog::ShortenedPath(path, metrics, width), expected);
}

QTEST_MAIN(DirSelectTest)
#include "dirselect_test.moc"
