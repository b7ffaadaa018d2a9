#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "dialogs/folder_list_box.h"

class FolderListBoxTest : public QObject {
    Q_OBJECT

  private slots:
    void ShowsLevelsThenSortedSubfolders();
    void ActivatingALineOpensThatFolder();
};

namespace {

QStringList Lines(const FolderListBox& list) {
    QStringList lines;
    for (int i = 0; i < list.count(); ++i) {
        lines << list.item(i)->text();
    }
    return lines;
}

}  // namespace

void FolderListBoxTest::ShowsLevelsThenSortedSubfolders() {
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("top/zeta"));
    QVERIFY(QDir(root.path()).mkpath("top/alpha"));
    QVERIFY(QDir(root.path()).mkpath("top/音楽"));
    QFile file(root.path() + "/top/file.txt");
    QVERIFY(file.open(QIODevice::WriteOnly));

    FolderListBox list;
    QSignalSpy changed(&list, &FolderListBox::FolderChanged);
    // A final separator is dropped; the root keeps its own.
    list.SetFolder((root.path() + "/top/").toStdString());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(QString::fromStdString(list.Folder()), root.path() + "/top");

    QStringList expected{"/"};
    expected << root.path().split('/', Qt::SkipEmptyParts);
    expected << "top"
             << "alpha"
             << "zeta" << QStringLiteral("音楽");
    QCOMPARE(Lines(list), expected);
    QCOMPARE(list.currentRow(), expected.size() - 4);

    list.SetFolder("/");
    QCOMPARE(list.Folder(), std::string("/"));
    QCOMPARE(list.item(0)->text(), QStringLiteral("/"));
}

void FolderListBoxTest::ActivatingALineOpensThatFolder() {
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("top/sub"));
    FolderListBox list;
    list.SetFolder((root.path() + "/top").toStdString());

    // A single click only highlights.
    list.setCurrentRow(list.count() - 1);
    QCOMPARE(QString::fromStdString(list.Folder()), root.path() + "/top");

    emit list.itemActivated(list.item(list.count() - 1));
    QCOMPARE(QString::fromStdString(list.Folder()), root.path() + "/top/sub");
    emit list.itemActivated(list.item(0));
    QCOMPARE(list.Folder(), std::string("/"));
}

QTEST_MAIN(FolderListBoxTest)
#include "folder_list_box_test.moc"
