#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <system_error>

#include <QFileDialog>

#include "dialogs/Delform.h"
#include "dialogs/Opt_dialog.h"
#include "dialogs/folder_list_box.h"
#include "dialogs/radio_group.h"
#include "dialogs/user_dialogs.h"
#include "gui_support.h"
#include "main/group_list_model.h"
#include "main/main_form.h"
#include "main/member_list_model.h"
#include "main/program_windows.h"
#include "main/results_page.h"
#include "platform/file_stamp.h"
#include "platform/trash.h"
#include "search/group_json.h"

namespace {

const QString kQuestion =
    QStringLiteral("内容の一致したファイルを一つだけ残して削除します。よろしいですか？");
const QString kKept = QStringLiteral("削除しません");
const QString kDeleted = QStringLiteral("削除");
const QString kFailed = QStringLiteral("削除失敗");
const QString kRestored = QStringLiteral("復元");
const QString kRestoreFailed = QStringLiteral("復元失敗");

// What a restore must bring back of a file besides its name.
struct FileState {
    QByteArray Bytes;
    QFileDevice::Permissions Mode;
    QDateTime Modified;
    friend bool operator==(const FileState&, const FileState&) = default;
};

FileState StateOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return {file.readAll(), file.permissions(), file.fileTime(QFileDevice::FileModificationTime)};
}

using Report = QList<QPair<QString, QString>>;

Report ReportRows() {
    Report rows;
    const QTableWidget* list = DelListForm->ProgressList;
    for (int i = 0; i < list->rowCount(); ++i) {
        rows << qMakePair(list->item(i, 0)->text(), list->item(i, 1)->text());
    }
    return rows;
}

QStringList Column(const QAbstractItemModel& list, int column) {
    QStringList texts;
    for (int row = 0; row < list.rowCount(); ++row) {
        texts << list.index(row, column).data().toString();
    }
    return texts;
}

}  // namespace

class BulkDeleteTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void NoGroupRowsAsksNothing();
    void AnsweringNoChangesNothing();
    void ThreeCopiesKeepTheFirst();
    void ProtectedCopiesStayAndTheRowKeepsItsCount();
    void AllProtectedDeletesNothing();
    void FailedDeleteIsReportedAndStaysListed();
    void VanishedKeeperSparesTheGroup();
    void ChangedCopyIsNotDeleted();
    void RemovedRowsWalkTheRowBeforeAgain();
    void ReportKeepsRowsWhileOpenAndStartsAnewWhenShown();
    void RefusedWhileASearchRuns();
    void RestoreBringsBackEveryDeletedFile();
    void RestoreOfSelectedRowsOnly();
    void RestoreThatCannotBeDoneChangesNothing_data();
    void RestoreThatCannotBeDoneChangesNothing();
    void HeldCtrlZRestoresOnce_data();
    void HeldCtrlZRestoresOnce();
    void PreviewListsWhatTheBulkDeleteThenTrashes_data();
    void PreviewListsWhatTheBulkDeleteThenTrashes();
    void ExportSavesTheListedGroups_data();
    void ExportSavesTheListedGroups();

  private:
    // Writes the files and makes a group of them, in this slot order, with a row on the results
    // page. Returns the group index.
    int AddGroup(const QStringList& files, const QByteArray& contents);
    QString Path(const QString& file) const { return m_tree->path() + "/" + file; }
    QString Upper(const QString& file) const { return Path(file).toUpper(); }
    void AnswerQuestion(QMessageBox::StandardButton answer);
    void AddNoDelEntry(const QString& text);
    // Sets the modification time of a member's file, and the member's stamp with it.
    void SetModified(int group, int slot, qint64 seconds);
    // Names of the files that lie in the trash.
    QStringList Trashed() const;
    ResultsPage& Page() { return m_window->ResultsTab(); }
    QPushButton* Button(const char* name) {
        return m_window->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_tree;
    QStringList m_messages;
    TMainForm* m_window = nullptr;
    int m_groups = 0;
};

void BulkDeleteTest::initTestCase() {
    QVERIFY(m_home.isValid());
    UsePrivateHome(m_home);
}

void BulkDeleteTest::init() {
    m_tree = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tree->isValid());
    QDir(m_home.path() + "/data/Trash").removeRecursively();
    m_messages.clear();
    AnswerQuestion(QMessageBox::Yes);
    CreateProgramWindows();
    m_window = MainForm;
    m_window->show();
    m_groups = 0;
}

void BulkDeleteTest::cleanup() {
    DestroyProgramWindows();
    m_window = nullptr;
    UserDialogs::SetAnswerer({});
    m_tree.reset();
}

void BulkDeleteTest::AnswerQuestion(QMessageBox::StandardButton answer) {
    UserDialogs::SetAnswerer([this, answer](const UserDialogs::Request& request)
                                 -> std::optional<QMessageBox::StandardButton> {
        m_messages << request.Text;
        return request.Text == kQuestion ? answer : QMessageBox::Ok;
    });
}

int BulkDeleteTest::AddGroup(const QStringList& files, const QByteArray& contents) {
    const int index = m_groups++;
    search::ResultGroup& group = m_window->Results().Group(index);
    group.Members.clear();
    for (const QString& file : files) {
        WriteTree(m_tree->path(), {{file, contents}});
        const QFileInfo info(Path(file));
        search::ResultMember member;
        member.Folder = QFile::encodeName(info.path() + "/").toStdString();
        member.Name = QFile::encodeName(info.fileName()).toStdString();
        member.Stamp = platform::ReadFileStamp(member.FullPath()).value();
        group.Members.push_back(member);
    }
    group.MemberCount = static_cast<std::int32_t>(group.Members.size());
    m_window->PostGroupRow(index);
    return index;
}

void BulkDeleteTest::AddNoDelEntry(const QString& text) {
    Named<QLineEdit>(m_window, "AddText")->setText(text);
    m_window->AddTextKeyPress('\r');
}

void BulkDeleteTest::SetModified(int group, int slot, qint64 seconds) {
    search::ResultMember& member =
        m_window->Results().Group(group).Members[static_cast<std::size_t>(slot)];
    QFile file(QFile::decodeName(QByteArray::fromStdString(member.FullPath())));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::fromSecsSinceEpoch(seconds),
                             QFileDevice::FileModificationTime));
    file.close();
    member.Stamp = platform::ReadFileStamp(member.FullPath()).value();
}

QStringList BulkDeleteTest::Trashed() const {
    QStringList names = QDir(m_home.path() + "/data/Trash/files").entryList(QDir::Files);
    names.sort();
    return names;
}

void BulkDeleteTest::NoGroupRowsAsksNothing() {
    m_window->AllDeleteClick();
    QVERIFY(m_messages.isEmpty());
    QVERIFY(!DelListForm->isVisible());
}

void BulkDeleteTest::AnsweringNoChangesNothing() {
    AnswerQuestion(QMessageBox::No);
    AddGroup({"a/one.txt", "b/two.txt"}, "same");
    QVERIFY(Page().SelectGroup(Page().Groups().GroupAt(0)));
    QCOMPARE(Page().Members().Count(), 2);

    Button("AllDelete")->click();

    QCOMPARE(m_messages, QStringList{kQuestion});
    QCOMPARE(Page().Members().Count(), 2);
    QCOMPARE(Page().Groups().Count(), 1);
    QVERIFY(QFile::exists(Path("a/one.txt")) && QFile::exists(Path("b/two.txt")));
    QVERIFY(!DelListForm->isVisible());
}

void BulkDeleteTest::ThreeCopiesKeepTheFirst() {
    // The first slot stays, although the member list sorts another name first.
    AddGroup({"b/Keep.txt", "a/Copy1.txt", "a/copy2.txt"}, "three copies");
    QVERIFY(Page().SelectGroup(Page().Groups().GroupAt(0)));

    Button("AllDelete")->click();

    QCOMPARE(m_messages, QStringList{kQuestion});
    QVERIFY(DelListForm->isVisible());
    const Report expected{{Upper("b/Keep.txt"), kKept},
                          {Upper("a/Copy1.txt"), kKept},
                          {Upper("a/copy2.txt"), kKept},
                          {Path("a/Copy1.txt"), kDeleted},
                          {Path("a/copy2.txt"), kDeleted}};
    QCOMPARE(ReportRows(), expected);
    QVERIFY(QFile::exists(Path("b/Keep.txt")));
    QVERIFY(!QFile::exists(Path("a/Copy1.txt")) && !QFile::exists(Path("a/copy2.txt")));
    QCOMPARE(Trashed(), (QStringList{"Copy1.txt", "copy2.txt"}));
    QVERIFY(QFile::exists(m_home.path() + "/data/Trash/info/Copy1.txt.trashinfo"));
    QCOMPARE(Page().Groups().Count(), 0);
    QCOMPARE(Page().Groups().headerData(0, Qt::Horizontal).toString(), QStringLiteral("検索結果"));
    QCOMPARE(Page().Members().Count(), 0);
    QCOMPARE(Named<QLabel>(m_window, "StatusPanel2")->text(), QString());
    QCOMPARE(m_window->Progress().Position.load(), 0);
}

void BulkDeleteTest::ProtectedCopiesStayAndTheRowKeepsItsCount() {
    // The entry is typed in lower case; it covers "keep/" and "keepsake/" alike.
    AddNoDelEntry(m_tree->path() + "/keep");
    const int group = AddGroup({"other/x.dat", "keep/x.dat", "keepsake/x.dat"}, "protected");

    m_window->AllDeleteClick();

    const Report expected{{Upper("other/x.dat"), kKept},
                          {Upper("keep/x.dat"), kKept},
                          {Upper("keepsake/x.dat"), kKept},
                          {Path("other/x.dat"), kDeleted}};
    QCOMPARE(ReportRows(), expected);
    QVERIFY(QFile::exists(Path("keep/x.dat")) && QFile::exists(Path("keepsake/x.dat")));
    QCOMPARE(Column(Page().Groups(), 1), QStringList{"2"});
    QCOMPARE(Page().Groups().headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("検索結果 1件"));
    // Selecting the group again shows the two that stayed.
    QVERIFY(Page().SelectGroup(Page().Groups().GroupAt(0)));
    QCOMPARE(Column(Page().Members(), 1), (QStringList{Path("keep/"), Path("keepsake/")}));
    QCOMPARE(m_window->Results().Group(group).MemberCount, 2);
}

void BulkDeleteTest::AllProtectedDeletesNothing() {
    AddNoDelEntry(QStringLiteral("BAK"));  // a part of a name protects it in every folder
    AddGroup({"one/a.bak", "Bakery/a.txt"}, "all protected");

    m_window->AllDeleteClick();

    const Report expected{{Upper("one/a.bak"), kKept}, {Upper("Bakery/a.txt"), kKept}};
    QCOMPARE(ReportRows(), expected);
    QVERIFY(QFile::exists(Path("one/a.bak")) && QFile::exists(Path("Bakery/a.txt")));
    QCOMPARE(Column(Page().Groups(), 1), QStringList{"2"});
    QVERIFY(Trashed().isEmpty());
}

void BulkDeleteTest::FailedDeleteIsReportedAndStaysListed() {
    // A file that cannot be deleted (locked, or in a folder the user may not change).
    const std::string locked = QFile::encodeName(Path("b/locked.txt")).toStdString();
    func::FileActions actions = func::SystemFileActions();
    actions.MoveToTrash = [locked](const std::string& path) -> platform::TrashResult {
        if (path == locked) {
            return {std::make_error_code(std::errc::permission_denied), {}};
        }
        return platform::MoveToTrash(path);
    };
    m_window->SetFileActions(actions);
    const int group = AddGroup({"a/keep.txt", "b/locked.txt", "c/gone.txt"}, "locked");

    m_window->AllDeleteClick();

    const Report expected{{Upper("a/keep.txt"), kKept},
                          {Upper("b/locked.txt"), kKept},
                          {Upper("c/gone.txt"), kKept},
                          {Path("b/locked.txt"), kFailed},
                          {Path("c/gone.txt"), kDeleted}};
    QCOMPARE(ReportRows(), expected);
    QVERIFY(QFile::exists(Path("b/locked.txt")));
    QCOMPARE(Trashed(), QStringList{"gone.txt"});
    // The file that stayed on disk is counted and listed, where the user may try again.
    QCOMPARE(Column(Page().Groups(), 1), QStringList{"2"});
    QVERIFY(Page().SelectGroup(Page().Groups().GroupAt(0)));
    QCOMPARE(Column(Page().Members(), 0), (QStringList{"keep.txt", "locked.txt"}));
    QCOMPARE(m_window->Results().Group(group).MemberCount, 2);
    m_window->SetFileActions(func::SystemFileActions());
    QVERIFY(Page().SelectMember(Page().Members().SlotAt(1)));
    m_window->FileDelButtonClick();
    QVERIFY(!QFile::exists(Path("b/locked.txt")));
    QCOMPARE(Page().Groups().Count(), 0);
}

void BulkDeleteTest::VanishedKeeperSparesTheGroup() {
    AddGroup({"a/keeper.txt", "b/copy.txt", "c/copy.txt"}, "keeper gone");
    QVERIFY(QFile::remove(Path("a/keeper.txt")));

    m_window->AllDeleteClick();

    // With the file that would stay gone, deleting the others would lose the last copy.
    const Report expected{{Upper("a/keeper.txt"), kKept},
                          {Upper("b/copy.txt"), kKept},
                          {Upper("c/copy.txt"), kKept},
                          {Path("b/copy.txt"), kFailed},
                          {Path("c/copy.txt"), kFailed}};
    QCOMPARE(ReportRows(), expected);
    QVERIFY(QFile::exists(Path("b/copy.txt")) && QFile::exists(Path("c/copy.txt")));
    QVERIFY(Trashed().isEmpty());
}

void BulkDeleteTest::ChangedCopyIsNotDeleted() {
    AddGroup({"a/keeper.txt", "b/changed.txt", "c/copy.txt"}, "as found");
    WriteTree(m_tree->path(), {{"b/changed.txt", "new contents since the search"}});

    m_window->AllDeleteClick();

    const Report expected{{Upper("a/keeper.txt"), kKept},
                          {Upper("b/changed.txt"), kKept},
                          {Upper("c/copy.txt"), kKept},
                          {Path("b/changed.txt"), kFailed},
                          {Path("c/copy.txt"), kDeleted}};
    QCOMPARE(ReportRows(), expected);
    QVERIFY(QFile::exists(Path("b/changed.txt")));
    QCOMPARE(Trashed(), QStringList{"copy.txt"});
}

void BulkDeleteTest::RemovedRowsWalkTheRowBeforeAgain() {
    AddNoDelEntry(QStringLiteral("safe/"));
    AddGroup({"safe/a1", "safe/a2"}, "group A");
    AddGroup({"b/b1", "b/b2"}, "group B");
    AddGroup({"c/c1", "c/c2"}, "group C");

    m_window->AllDeleteClick();

    const Report a{{Upper("safe/a1"), kKept}, {Upper("safe/a2"), kKept}};
    Report expected = a;
    expected << qMakePair(Upper("b/b1"), kKept) << qMakePair(Upper("b/b2"), kKept)
             << qMakePair(Path("b/b2"), kDeleted);
    expected << a;  // B's row went: A is walked again
    expected << qMakePair(Upper("c/c1"), kKept) << qMakePair(Upper("c/c2"), kKept)
             << qMakePair(Path("c/c2"), kDeleted);
    expected << a;  // and again after C's row went
    QCOMPARE(ReportRows(), expected);
    QCOMPARE(Column(Page().Groups(), 0), QStringList{"a1"});
    QCOMPARE(Page().Groups().headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("検索結果 1件"));
    QCOMPARE(Trashed(), (QStringList{"b2", "c2"}));
}

void BulkDeleteTest::ReportKeepsRowsWhileOpenAndStartsAnewWhenShown() {
    AddGroup({"a/1", "a/2"}, "first");
    m_window->AllDeleteClick();
    QCOMPARE(ReportRows().size(), 3);

    // Still open: the next walk appends.
    AddGroup({"b/1", "b/2"}, "second");
    m_window->AllDeleteClick();
    QCOMPARE(ReportRows().size(), 6);

    // Closed with "終了": the rows stay until the window is shown again.
    DelListForm->ProgressExit->trigger();
    QVERIFY(!DelListForm->isVisible());
    QCOMPARE(ReportRows().size(), 6);
    AddGroup({"c/1", "c/2"}, "third");
    m_window->AllDeleteClick();
    const Report expected{{Upper("c/1"), kKept}, {Upper("c/2"), kKept}, {Path("c/2"), kDeleted}};
    QCOMPARE(ReportRows(), expected);
}

void BulkDeleteTest::RefusedWhileASearchRuns() {
    WriteTree(m_tree->path(), {{"s/1", "search me"}, {"s/2", "search me"}});
    Named<FolderListBox>(m_window, "DirectoryList")
        ->SetFolder(QFile::encodeName(m_tree->path() + "/s").toStdString());
    m_window->AddButtonClick();
    // The command arrives while the search hands its first group over.
    bool running = false;
    connect(&Page().Groups(), &QAbstractItemModel::rowsInserted, this, [&] {
        running = m_window->IsSearching();
        m_window->AllDeleteClick();
    });
    QSignalSpy ended(m_window, &TMainForm::SearchJobEnded);
    m_window->SearchButtonClick();
    QVERIFY(ended.wait(30000));

    QVERIFY(running);
    QCOMPARE(m_messages, (QStringList{QStringLiteral("検索中はまとめて削除出来ません"),
                                      QStringLiteral("検索終了")}));
    QVERIFY(QFile::exists(Path("s/1")) && QFile::exists(Path("s/2")));
    QVERIFY(!DelListForm->isVisible());
}

void BulkDeleteTest::RestoreBringsBackEveryDeletedFile() {
    const int first = AddGroup({"a/x.txt", "b/x.txt", "c/x.txt"}, "first contents");
    const int second =
        AddGroup({"a/y.bin", "b/y.bin", "c/y.bin"}, QByteArray("second\0contents", 15));
    // Modes and times of their own, which the trash and the way back must keep; the search
    // found the files so.
    QVERIFY(QFile::setPermissions(Path("b/x.txt"), QFileDevice::ReadOwner));
    QFile y(Path("c/y.bin"));
    QVERIFY(y.open(QIODevice::ReadWrite));
    QVERIFY(y.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000),
                          QFileDevice::FileModificationTime));
    y.close();
    for (const int group : {first, second}) {
        for (search::ResultMember& member : m_window->Results().Group(group).Members) {
            member.Stamp = platform::ReadFileStamp(member.FullPath()).value();
        }
    }
    const QStringList deleted{"b/x.txt", "c/x.txt", "b/y.bin", "c/y.bin"};
    QMap<QString, FileState> before;
    for (const QString& file : deleted) {
        before[file] = StateOf(Path(file));
    }
    m_window->AllDeleteClick();
    QCOMPARE(Trashed().size(), 4);

    // Nothing selected: every deleted row.
    DelListForm->ProgressList->clearSelection();
    DelListForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(DelListForm));
    QTest::keyClick(DelListForm, Qt::Key_Z, Qt::ControlModifier);

    for (const QString& file : deleted) {
        QVERIFY2(StateOf(Path(file)) == before[file], qPrintable(file));
    }
    QVERIFY(Trashed().isEmpty());
    QVERIFY(QDir(m_home.path() + "/data/Trash/info").isEmpty());
    const Report expected{{Upper("a/x.txt"), kKept},    {Upper("b/x.txt"), kKept},
                          {Upper("c/x.txt"), kKept},    {Path("b/x.txt"), kRestored},
                          {Path("c/x.txt"), kRestored}, {Upper("a/y.bin"), kKept},
                          {Upper("b/y.bin"), kKept},    {Upper("c/y.bin"), kKept},
                          {Path("b/y.bin"), kRestored}, {Path("c/y.bin"), kRestored}};
    QCOMPARE(ReportRows(), expected);
    QVERIFY(m_messages.size() == 1);  // the question only
    // Nothing is left to put back.
    QVERIFY(!DelListForm->ListRestore->isEnabled());
    // The files are back in the lists, as after the main window's own undo.
    QCOMPARE(Column(Page().Groups(), 1), (QStringList{"3", "3"}));
    QCOMPARE(m_window->Results().Group(first).MemberCount, 3);
    QCOMPARE(m_window->Results().Group(second).MemberCount, 3);
    QVERIFY(Page().SelectGroup(Page().Groups().GroupAt(0)));
    QCOMPARE(Page().Members().Count(), 3);
}

void BulkDeleteTest::RestoreOfSelectedRowsOnly() {
    AddGroup({"a/x.txt", "b/x.txt", "c/x.txt"}, "same");
    m_window->AllDeleteClick();
    QTableWidget* list = DelListForm->ProgressList;
    // The rows: three kept, then b/x.txt and c/x.txt deleted. A kept row among the chosen is
    // left as it is.
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    list->selectRow(0);
    list->selectRow(4);

    DelListForm->ListRestore->trigger();

    QVERIFY(QFile::exists(Path("c/x.txt")));
    QVERIFY(!QFile::exists(Path("b/x.txt")));
    QCOMPARE(Trashed(), QStringList{"x.txt"});
    QCOMPARE(ReportRows().at(0).second, kKept);
    QCOMPARE(ReportRows().at(3).second, kDeleted);
    QCOMPARE(ReportRows().at(4).second, kRestored);
}

void BulkDeleteTest::RestoreThatCannotBeDoneChangesNothing_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("a new file took the name") << "name taken";
    QTest::newRow("the user emptied the trash") << "emptied";
}

void BulkDeleteTest::RestoreThatCannotBeDoneChangesNothing() {
    QFETCH(QString, change);
    AddGroup({"a/x.txt", "b/x.txt"}, "same");
    m_window->AllDeleteClick();
    const QString trashed = m_home.path() + "/data/Trash/files/x.txt";
    QVERIFY(QFile::exists(trashed));
    if (change == "name taken") {
        WriteTree(m_tree->path(), {{"b/x.txt", "a new file"}});
    } else {
        QVERIFY(QFile::remove(trashed));
    }

    DelListForm->ListRestore->trigger();

    // The row says why, in the words of the main window's undo; the file may be tried again.
    const QString reason = change == "name taken" ? QStringLiteral("同じ名前のファイルがあります")
                                                  : QStringLiteral("ごみ箱にありません");
    QCOMPARE(ReportRows().last(),
             qMakePair(Path("b/x.txt"), kRestoreFailed + QStringLiteral("（%1）").arg(reason)));
    QVERIFY(DelListForm->ListRestore->isEnabled());
    QCOMPARE(Column(Page().Groups(), 1), QStringList());
    if (change == "name taken") {
        QCOMPARE(StateOf(Path("b/x.txt")).Bytes, QByteArray("a new file"));
        QCOMPARE(StateOf(trashed).Bytes, QByteArray("same"));
        QVERIFY(QFile::exists(m_home.path() + "/data/Trash/info/x.txt.trashinfo"));
    } else {
        QVERIFY(!QFile::exists(Path("b/x.txt")));
    }
}

void BulkDeleteTest::HeldCtrlZRestoresOnce_data() {
    QTest::addColumn<bool>("marked");
    QTest::newRow("repeats marked as repeats") << true;
    // Some systems deliver a held key as presses without a release between them.
    QTest::newRow("repeats as presses without a release") << false;
}

void BulkDeleteTest::HeldCtrlZRestoresOnce() {
    QFETCH(bool, marked);
    AddGroup({"a/x.txt", "b/x.txt", "c/x.txt"}, "same");
    m_window->AllDeleteClick();
    QTableWidget* list = DelListForm->ProgressList;
    DelListForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(DelListForm));
    list->setFocus();
    const auto key = [list](bool press, bool repeat) {
        QTest::simulateEvent(list, press, Qt::Key_Z, Qt::ControlModifier, QString(), repeat);
    };

    // Held down on b/x.txt's row; meanwhile c/x.txt's row is chosen.
    list->selectRow(3);
    key(true, false);
    list->selectRow(4);
    for (int i = 0; i < 5; ++i) {
        key(true, marked);
    }
    QVERIFY(QFile::exists(Path("b/x.txt")));
    QVERIFY(!QFile::exists(Path("c/x.txt")));

    // Let go and pressed again.
    key(false, false);
    key(true, false);
    QVERIFY(QFile::exists(Path("c/x.txt")));
}

void BulkDeleteTest::PreviewListsWhatTheBulkDeleteThenTrashes_data() {
    QTest::addColumn<int>("rule");
    QTest::addColumn<QStringList>("planned");
    QTest::newRow("first found") << 0 << QStringList{"a/2.txt", "a/3.txt", "c/y2", "c/y3"};
    QTest::newRow("oldest") << 1 << QStringList{"a/1.txt", "a/2.txt", "c/y1", "c/y2"};
    QTest::newRow("newest") << 2 << QStringList{"a/2.txt", "a/3.txt", "c/y1", "c/y3"};
    QTest::newRow("shortest") << 3 << QStringList{"a/2.txt", "a/3.txt", "c/y2", "c/y3"};
}

void BulkDeleteTest::PreviewListsWhatTheBulkDeleteThenTrashes() {
    QFETCH(int, rule);
    QFETCH(QStringList, planned);
    // The rule is chosen in the options dialog.
    int shownRule = -1;
    UserDialogs::SetDialogAnswerer([rule, &shownRule](QDialog& dialog) -> std::optional<int> {
        if (&dialog != OptSettingForm) {
            return QDialog::Rejected;
        }
        shownRule = OptSettingForm->KeepChoice->ItemIndex();
        OptSettingForm->KeepChoice->SetItemIndex(rule);
        return QDialog::Accepted;
    });
    m_window->MenuOptSetClick();
    UserDialogs::SetDialogAnswerer({});
    QCOMPARE(shownRule, 0);

    AddNoDelEntry(QStringLiteral("/keep/"));
    AddGroup({"a/1.txt", "a/long/2.txt", "a/3.txt"}, "one");
    SetModified(0, 0, 3000);
    SetModified(0, 1, 2000);
    SetModified(0, 2, 1000);
    AddGroup({"keep/x1", "keep/x2"}, "two");
    AddGroup({"c/y1", "c/y2", "c/y3"}, "three");
    SetModified(2, 0, 500);
    SetModified(2, 1, 9000);
    SetModified(2, 2, 100);
    QVERIFY(Page().SelectGroup(Page().Groups().GroupAt(0)));
    const QStringList slotPaths = {Path("a/1.txt"), Path("a/long/2.txt"), Path("a/3.txt")};
    QStringList plannedPaths;
    for (const QString& file : planned) {
        plannedPaths << Path(file == "a/2.txt" ? "a/long/2.txt" : file);
    }

    // The member list marks the file that stays.
    QStringList marked;
    const MemberListModel& members = Page().Members();
    for (int row = 0; row < members.Count(); ++row) {
        if (members.index(row, 0).data(Qt::FontRole).value<QFont>().bold()) {
            marked << members.index(row, 1).data().toString() +
                          members.index(row, 0).data().toString();
        }
    }
    QCOMPARE(marked.size(), 1);
    QVERIFY(slotPaths.contains(marked.front()) && !plannedPaths.contains(marked.front()));

    Button("PreviewButton")->click();

    QVERIFY(m_messages.isEmpty());
    QVERIFY(DelListForm->isVisible());
    QVERIFY(Trashed().isEmpty());
    QStringList previewed;
    for (const auto& [path, status] : ReportRows()) {
        QVERIFY(QFile::exists(path));
        QVERIFY2(status == QStringLiteral("削除予定") || status == kKept, qPrintable(status));
        if (status == QStringLiteral("削除予定")) {
            previewed << path;
        }
    }
    QCOMPARE(ReportRows().size(), 8);
    QCOMPARE(previewed, plannedPaths);
    qint64 bytes = 0;
    for (const QString& path : plannedPaths) {
        bytes += QFileInfo(path).size();
    }
    QCOMPARE(DelListForm->SummaryLabel->text(),
             QStringLiteral("削除予定 4 ファイル、空く容量 %1 バイト").arg(bytes));
    QCOMPARE(Page().Groups().Count(), 3);

    Button("AllDelete")->click();

    QStringList deleted;
    for (const auto& [path, status] : ReportRows()) {
        if (status == kDeleted) {
            deleted << path;
        }
    }
    QCOMPARE(deleted, plannedPaths);
    QStringList trashedNames;
    for (const QString& path : plannedPaths) {
        trashedNames << QFileInfo(path).fileName();
        QVERIFY(!QFile::exists(path));
    }
    trashedNames.sort();
    QCOMPARE(Trashed(), trashedNames);
}

void BulkDeleteTest::ExportSavesTheListedGroups_data() {
    QTest::addColumn<bool>("json");
    QTest::newRow("CSV") << false;
    QTest::newRow("JSON lines") << true;
}

void BulkDeleteTest::ExportSavesTheListedGroups() {
    QFETCH(bool, json);
    const int first = AddGroup({"a/写真.jpg", "b/写真.jpg"}, "photo");
    const int second = AddGroup({"c/x,1", "c/x\"2"}, "quoted");
    const QString target = m_tree->path() + "/export";
    QString title;
    UserDialogs::SetDialogAnswerer([&](QDialog& dialog) -> std::optional<int> {
        auto* save = qobject_cast<QFileDialog*>(&dialog);
        if (save == nullptr) {
            return QDialog::Rejected;
        }
        title = save->windowTitle();
        // As the user's choice of a filter does.
        save->selectNameFilter(save->nameFilters().at(json ? 1 : 0));
        emit save->filterSelected(save->selectedNameFilter());
        save->selectFile(target);
        return QDialog::Accepted;
    });

    m_window->findChild<QAction*>(QStringLiteral("MenuExport"))->trigger();

    QCOMPARE(title, QStringLiteral("検索結果の書き出し"));
    QVERIFY(m_messages.isEmpty());
    QFile file(target + (json ? ".jsonl" : ".csv"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QByteArray bytes = file.readAll();
    const search::ResultTable& results = m_window->Results();
    if (json) {
        QCOMPARE(bytes.toStdString(), search::GroupJsonLine(results.Group(first)) +
                                          search::GroupJsonLine(results.Group(second)));
        return;
    }
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines.at(0), QStringLiteral("グループ,パス,サイズ,日付"));
    QVERIFY(lines.at(1).startsWith(QStringLiteral("1,\"%1\",5,").arg(Path("a/写真.jpg"))));
    QVERIFY(lines.at(4).startsWith(QStringLiteral("2,\"%1\",6,").arg(Path("c/x\"\"2"))));
    QCOMPARE(lines.at(5), QString());
}

QTEST_MAIN(BulkDeleteTest)
#include "bulk_delete_test.moc"
