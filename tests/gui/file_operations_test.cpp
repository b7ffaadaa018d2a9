#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <filesystem>
#include <string>
#include <vector>

#include "common/test_files.h"
#include "dialogs/Dirselect.h"
#include "dialogs/Fileinfo.h"
#include "dialogs/Rename_dialog.h"
#include "dialogs/folder_list_box.h"
#include "dialogs/user_dialogs.h"
#include "gui_support.h"
#include "main/file_operations_controller.h"
#include "main/group_list_model.h"
#include "main/main_form.h"
#include "main/member_list_model.h"
#include "main/program_windows.h"
#include "main/results_page.h"
#include "platform/file_stamp.h"
#include "platform/trash.h"

namespace {

const QString kRenameFailed = QStringLiteral("名前変更出来ません");

using testing_support::Exists;
using testing_support::WriteFile;

// The contents of `path`; empty when it cannot be read.
std::string ReadFile(const std::string& path) {
    return testing_support::ReadFile(path).value_or("");
}

// The texts of a column of a list, top to bottom.
QStringList Captions(const QAbstractItemModel& list, int column = 0) {
    QStringList captions;
    for (int row = 0; row < list.rowCount(); ++row) {
        captions << list.index(row, column).data().toString();
    }
    return captions;
}

}  // namespace

class FileOperationsTest : public QObject {
    Q_OBJECT

  public slots:
    // Stands in for the desktop's handler of file URLs.
    void RecordOpenedUrl(const QUrl& url) { m_opened << url; }

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void DeletingOneOfThreeLeavesTwoRows();
    void DeletingOneOfTwoRemovesTheGroupRow_data();
    void DeletingOneOfTwoRemovesTheGroupRow();
    void OneActionDeletesAtMostOneFile_data();
    void OneActionDeletesAtMostOneFile();
    void FailedDeleteChangesNothing_data();
    void FailedDeleteChangesNothing();
    void MoveReplacesASameNamedFileThroughTheTrash();
    void MoveOntoAnotherMemberTakesThatMemberOut();
    void RefusedMoveChangesNothing_data();
    void RefusedMoveChangesNothing();
    void RenameToAnExistingNameFailsAndTheDialogComesBack();
    void RenameThatDiffersOnlyInCaseIsARealRename();
    void InPlaceRenameAcceptsOrKeepsTheOldName();
    void DelEditsTextWhileEditingAndDeletesAfterEsc();
    void CommandsWithoutASelectedRowDoNothing();
    void NameThatIsNotUtf8IsHandledByItsBytes();
    void CtrlZPutsBackSingleDeletesLastFirst();
    void UndoOntoATakenNameChangesNothing();
    void FailedUndoMayBeTriedAgain();
    void HeldCtrlZPutsBackOneFile_data();
    void HeldCtrlZPutsBackOneFile();
    void UndoHasAnAccessKeyAndStandsApartFromDel();
    void ContentColumnFollowsTheNewFirstMember_data();
    void ContentColumnFollowsTheNewFirstMember();
    void ContentOfAMemberChangedSinceIsUnknown();
    void ProtectedFileIsDeletedOrMovedOnlyAfterAYes_data();
    void ProtectedFileIsDeletedOrMovedOnlyAfterAYes();
    void GroupListSortsByAClickedHeaderAndReversesOnTheNextClick();
    void SurplusBytesFollowDeletesAndUndo();

  private:
    // Writes the files (bytes relative to the tree) and hands them over as one group.
    int AddGroup(const std::vector<std::pair<std::string, std::string>>& files);
    void SelectGroup(int group);
    // Selects the member row that shows the file; its slot.
    std::optional<int> SelectMember(const std::string& folder, const QString& name);
    // The result slot behind the member row of `slot`.
    const search::ResultMember& Member(int slot);
    ResultsPage& Page() { return m_window->ResultsTab(); }
    QTreeView* GroupView() { return Page().GroupView(); }
    QTreeView* MemberView() { return Page().MemberView(); }
    QModelIndex MemberIndex(int slot) {
        return Page().Members().index(Page().Members().RowOf(slot), 0);
    }
    // What the member row of `slot` shows in the column.
    QString Cell(int slot, int column) {
        return Page().Members().index(Page().Members().RowOf(slot), column).data().toString();
    }
    // What the selected group row shows in the column.
    QString SelectedGroupCell(int column) {
        const int row = Page().Groups().RowOf(Page().SelectedGroup().value_or(-1));
        return Page().Groups().index(row, column).data().toString();
    }
    QString GroupHeader() { return Page().Groups().headerData(0, Qt::Horizontal).toString(); }
    QPushButton* Button(const char* name) {
        return m_window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QAction* Action(const char* name) {
        return m_window->findChild<QAction*>(QString::fromLatin1(name));
    }
    std::string Tree() const { return m_tree->path().toStdString(); }
    std::string Trash() const { return Tree() + "/data/Trash"; }

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_tree;
    std::unique_ptr<MessageRecorder> m_messages;
    TMainForm* m_window = nullptr;
    int m_groups = 0;
    QList<QUrl> m_opened;
};

void FileOperationsTest::initTestCase() {
    QVERIFY(m_home.isValid());
    UsePrivateHome(m_home);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "RecordOpenedUrl");
}

void FileOperationsTest::cleanupTestCase() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

void FileOperationsTest::init() {
    m_tree = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tree->isValid());
    // A trash of this test's own.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_tree->path() + "/data"));
    for (const char* folder : {"/a", "/b", "/c", "/d", "/data"}) {
        QVERIFY(mkdir((Tree() + folder).c_str(), 0755) == 0);
    }
    m_messages = std::make_unique<MessageRecorder>();
    m_opened.clear();
    m_groups = 0;
    CreateProgramWindows();
    m_window = MainForm;
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void FileOperationsTest::cleanup() {
    DestroyProgramWindows();
    m_window = nullptr;
    m_messages.reset();
    UserDialogs::SetDialogAnswerer({});
    // Names that are not UTF-8 are removed by their bytes.
    std::error_code error;
    std::filesystem::remove_all(Tree(), error);
    m_tree.reset();
}

int FileOperationsTest::AddGroup(const std::vector<std::pair<std::string, std::string>>& files) {
    const int index = m_groups++;
    search::ResultGroup& group = m_window->Results().Group(index);
    group.Members.clear();
    for (const auto& [relative, contents] : files) {
        const std::string path = Tree() + "/" + relative;
        WriteFile(path, contents);
        search::ResultMember member;
        member.Folder = path.substr(0, path.rfind('/') + 1);
        member.Name = path.substr(path.rfind('/') + 1);
        member.Date = "2024/01/02 03:04:05";
        member.Stamp = platform::ReadFileStamp(path).value();
        group.Members.push_back(member);
    }
    group.MemberCount = static_cast<std::int32_t>(files.size());
    m_window->PostGroupRow(index);
    return index;
}

void FileOperationsTest::SelectGroup(int group) {
    QVERIFY2(Page().SelectGroup(group), "no such group row");
}

std::optional<int> FileOperationsTest::SelectMember(const std::string& folder,
                                                    const QString& name) {
    const QString location = QFile::decodeName((Tree() + "/" + folder + "/").c_str());
    const MemberListModel& members = Page().Members();
    for (int row = 0; row < members.Count(); ++row) {
        const int slot = members.SlotAt(row);
        if (Cell(slot, 0) == name && Cell(slot, 1) == location) {
            Page().SelectMember(slot);
            return slot;
        }
    }
    return std::nullopt;
}

const search::ResultMember& FileOperationsTest::Member(int slot) {
    const int group = Page().Members().Group();
    return m_window->Results().Group(group).Members[static_cast<std::size_t>(slot)];
}

void FileOperationsTest::DeletingOneOfThreeLeavesTwoRows() {
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}, {"c/x.txt", "same"}});
    AddGroup({{"a/y.txt", "other"}, {"b/y.txt", "other"}});
    SelectGroup(group);
    const std::optional<int> row = SelectMember("b", "x.txt");
    QVERIFY(row.has_value());
    const int slot = *row;

    QTest::mouseClick(Button("FileDelButton"), Qt::LeftButton);

    QVERIFY(!Exists(Tree() + "/b/x.txt"));
    QCOMPARE(Captions(Page().Members(), 1), (QStringList{QString::fromStdString(Tree() + "/a/"),
                                                         QString::fromStdString(Tree() + "/c/")}));
    QCOMPARE(SelectedGroupCell(1), QStringLiteral("2"));
    QCOMPARE(GroupHeader(), QStringLiteral("検索結果 2件"));
    QCOMPARE(m_window->Results().Group(group).MemberCount, 2);
    QVERIFY(m_window->Results().Group(group).Members[static_cast<std::size_t>(slot)].IsFree());
    QVERIFY(m_messages->Texts.isEmpty());

    // It lies in the trash, which knows where it came from; 元に戻す puts it back, and its row.
    QCOMPARE(ReadFile(Trash() + "/files/x.txt"), std::string("same"));
    const std::string info = ReadFile(Trash() + "/info/x.txt.trashinfo");
    QVERIFY(info.find("Path=" + Tree() + "/b/x.txt\n") != std::string::npos);
    QVERIFY(Action("MenuUndo")->isEnabled());
    Action("MenuUndo")->trigger();
    QCOMPARE(ReadFile(Tree() + "/b/x.txt"), std::string("same"));
    QVERIFY(!Exists(Trash() + "/info/x.txt.trashinfo"));
    QCOMPARE(Captions(Page().Members(), 1), (QStringList{QString::fromStdString(Tree() + "/a/"),
                                                         QString::fromStdString(Tree() + "/b/"),
                                                         QString::fromStdString(Tree() + "/c/")}));
    QCOMPARE(SelectedGroupCell(1), QStringLiteral("3"));
    QCOMPARE(m_window->Results().Group(group).MemberCount, 3);
    QVERIFY(!Action("MenuUndo")->isEnabled());
    QVERIFY(m_messages->Texts.isEmpty());
}

void FileOperationsTest::DeletingOneOfTwoRemovesTheGroupRow_data() {
    QTest::addColumn<bool>("groupRowSelected");
    QTest::newRow("group row selected") << true;
    // The member list still shows the group after its row was deselected.
    QTest::newRow("group row deselected") << false;
}

void FileOperationsTest::DeletingOneOfTwoRemovesTheGroupRow() {
    QFETCH(bool, groupRowSelected);
    const int other = AddGroup({{"a/y.txt", "other"}, {"b/y.txt", "other"}});
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}});
    SelectGroup(group);
    if (!groupRowSelected) {
        GroupView()->clearSelection();
    }
    QVERIFY(SelectMember("a", "x.txt").has_value());

    Action("DetailDelete")->trigger();

    QVERIFY(!Exists(Tree() + "/a/x.txt"));
    QVERIFY(Exists(Tree() + "/b/x.txt"));
    QCOMPARE(Page().Groups().Count(), 1);
    QCOMPARE(Page().Groups().GroupAt(0), other);
    QCOMPARE(GroupHeader(), QStringLiteral("検索結果 1件"));
    QCOMPARE(m_window->Results().Group(group).MemberCount, 1);
    // The row that took the removed row's place is selected and shows its members, and none of
    // them is selected.
    QCOMPARE(Page().SelectedGroup(), std::optional<int>(other));
    QCOMPARE(Captions(Page().Members()), (QStringList{"y.txt", "y.txt"}));
    QVERIFY(!Page().SelectedSlot().has_value());
    QCOMPARE(Page().SizeLabel()->text(), QStringLiteral("  ﾌｧｲﾙ ｻｲｽﾞ 5ﾊﾞｲﾄ"));
}

void FileOperationsTest::OneActionDeletesAtMostOneFile_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("two quick taps of Del") << "taps";
    QTest::newRow("Del held down") << "held";
    QTest::newRow("double click on the button") << "double click";
    QTest::newRow("button, then the menu's command") << "button and menu";
}

void FileOperationsTest::OneActionDeletesAtMostOneFile() {
    QFETCH(QString, action);
    const int group = AddGroup(
        {{"a/x.txt", "same"}, {"b/x.txt", "same"}, {"c/x.txt", "same"}, {"d/x.txt", "same"}});
    SelectGroup(group);
    QVERIFY(SelectMember("b", "x.txt").has_value());
    MemberView()->setFocus();

    const auto pressDel = [this](bool autoRepeat) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(MemberView(), &press);
    };
    if (action == "taps") {
        QTest::keyClick(MemberView(), Qt::Key_Delete);
        QTest::keyClick(MemberView(), Qt::Key_Delete);
    } else if (action == "held") {
        // A real key press that repeats while held: only the first press deletes.
        MemberView()->selectionModel()->clear();
        QVERIFY(SelectMember("b", "x.txt").has_value());
        pressDel(false);
        QVERIFY(SelectMember("c", "x.txt").has_value());
        for (int i = 0; i < 5; ++i) {
            pressDel(true);
        }
    } else if (action == "double click") {
        QTest::mouseClick(Button("FileDelButton"), Qt::LeftButton);
        QTest::mouseDClick(Button("FileDelButton"), Qt::LeftButton);
        QTest::mouseRelease(Button("FileDelButton"), Qt::LeftButton);
    } else {
        QTest::mouseClick(Button("FileDelButton"), Qt::LeftButton);
        Action("DetailDelete")->trigger();
    }

    QVERIFY(!Exists(Tree() + "/b/x.txt"));
    for (const char* kept : {"/a/x.txt", "/c/x.txt", "/d/x.txt"}) {
        QVERIFY2(Exists(Tree() + kept), kept);
    }
    QCOMPARE(m_window->Results().Group(group).MemberCount, 3);
    if (action != "held") {
        QVERIFY(!Page().SelectedSlot().has_value());
    }
}

void FileOperationsTest::FailedDeleteChangesNothing_data() {
    QTest::addColumn<QString>("cause");
    QTest::newRow("file gone") << "gone";
    QTest::newRow("another file in its place") << "replaced";
    QTest::newRow("file changed since the search") << "changed";
    QTest::newRow("no usable trash") << "no trash";
}

void FileOperationsTest::FailedDeleteChangesNothing() {
    QFETCH(QString, cause);
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}, {"c/x.txt", "same"}});
    const std::string path = Tree() + "/b/x.txt";
    if (cause == "gone") {
        QVERIFY(unlink(path.c_str()) == 0);
    } else if (cause == "replaced") {
        // Same name, size and times; only the file is another one.
        const platform::FileStamp found = platform::ReadFileStamp(path).value();
        WriteFile(path + ".new", "same");
        const struct timespec times[2] = {{0, UTIME_OMIT},
                                          {found.Modified.Seconds, found.Modified.Nanoseconds}};
        QVERIFY(utimensat(AT_FDCWD, (path + ".new").c_str(), times, 0) == 0);
        QVERIFY(rename((path + ".new").c_str(), path.c_str()) == 0);
    } else if (cause == "changed") {
        WriteFile(path, "sam");
    } else {
        WriteFile(Trash(), "a file where the trash folder should be");
    }
    SelectGroup(group);
    const QStringList rowsBefore = Captions(Page().Members(), 1);
    QVERIFY(SelectMember("b", "x.txt").has_value());

    m_window->FileDelButtonClick();

    QCOMPARE(Captions(Page().Members(), 1), rowsBefore);
    QCOMPARE(Page().Groups().index(0, 1).data().toString(), QStringLiteral("3"));
    QCOMPARE(m_window->Results().Group(group).MemberCount, 3);
    QCOMPARE(Exists(path), cause != "gone");
    QVERIFY(m_messages->Texts.isEmpty());
}

void FileOperationsTest::MoveReplacesASameNamedFileThroughTheTrash() {
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}, {"c/x.txt", "same"}});
    WriteFile(Tree() + "/d/x.txt", "the file that the move replaces");
    SelectGroup(group);
    const std::optional<int> row = SelectMember("a", "x.txt");
    QVERIFY(row.has_value());
    QString title;
    UserDialogs::SetDialogAnswerer([&](QDialog& dialog) -> std::optional<int> {
        if (&dialog != DirSelectDialog) {
            return QDialog::Rejected;
        }
        title = dialog.windowTitle();
        DirSelectDialog->DirectoryListBox->SetFolder(Tree() + "/d");
        return QDialog::Accepted;
    });

    Action("DetailMove")->trigger();

    QCOMPARE(title, QStringLiteral("移動先を指定して下さい"));
    QVERIFY(!Exists(Tree() + "/a/x.txt"));
    QCOMPARE(ReadFile(Tree() + "/d/x.txt"), std::string("same"));
    QCOMPARE(ReadFile(Trash() + "/files/x.txt"), std::string("the file that the move replaces"));
    QCOMPARE(Cell(*row, 1), QString::fromStdString(Tree() + "/d/"));
    QCOMPARE(Member(*row).Folder, Tree() + "/d/");
    QCOMPARE(Page().Members().Count(), 3);

    // The moved file is still the one the search found: it can be deleted from its new place.
    Page().SelectMember(*row);
    m_window->FileDelButtonClick();
    QVERIFY(!Exists(Tree() + "/d/x.txt"));
    QCOMPARE(Page().Members().Count(), 2);

    // Cancel moves nothing.
    QVERIFY(SelectMember("b", "x.txt").has_value());
    UserDialogs::SetDialogAnswerer([](QDialog&) { return QDialog::Rejected; });
    m_window->MoveButtonClick();
    QVERIFY(Exists(Tree() + "/b/x.txt"));
}

void FileOperationsTest::RefusedMoveChangesNothing_data() {
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("message");
    QTest::newRow("another file in its place") << "replaced" << QString();
    QTest::newRow("attributes the target cannot keep")
        << "attributes"
        << QStringLiteral("の拡張属性（ACL を含む）を移動先で保てないため、移動しませんでした");
    QTest::newRow("the move fails") << "fails" << QString();
}

void FileOperationsTest::RefusedMoveChangesNothing() {
    QFETCH(QString, cause);
    QFETCH(QString, message);
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}});
    SelectGroup(group);
    const std::optional<int> row = SelectMember("a", "x.txt");
    QVERIFY(row.has_value());
    const std::string source = Tree() + "/a/x.txt";
    if (cause == "replaced") {
        // Another file with the same bytes took the name since the search.
        WriteFile(source + ".new", "same");
        QVERIFY(rename((source + ".new").c_str(), source.c_str()) == 0);
    }
    func::FileActions actions = func::SystemFileActions();
    if (cause != "replaced") {
        const int error = cause == "attributes" ? ENOTSUP : EIO;
        actions.MoveToFolder = [cause, error](const std::string&, const std::string&) {
            platform::MoveResult result;
            result.Error = cause == "attributes"
                               ? std::error_code(error, platform::AttributeCategory())
                               : std::error_code(error, std::generic_category());
            return result;
        };
    }
    m_window->SetFileActions(actions);
    UserDialogs::SetDialogAnswerer([&](QDialog&) -> std::optional<int> {
        DirSelectDialog->DirectoryListBox->SetFolder(Tree() + "/d");
        return QDialog::Accepted;
    });

    m_window->MoveButtonClick();

    QCOMPARE(ReadFile(source), std::string("same"));
    QVERIFY(testing_support::NamesIn(Tree() + "/d").empty());
    QCOMPARE(Cell(*row, 1), QString::fromStdString(Tree() + "/a/"));
    QCOMPARE(Member(*row).Folder, Tree() + "/a/");
    if (message.isEmpty()) {
        QVERIFY(m_messages->Texts.isEmpty());
    } else {
        QCOMPARE(m_messages->Texts, QStringList{QString::fromStdString(source) + " " + message});
    }
}

void FileOperationsTest::MoveOntoAnotherMemberTakesThatMemberOut() {
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}});
    SelectGroup(group);
    QVERIFY(SelectMember("a", "x.txt").has_value());
    UserDialogs::SetDialogAnswerer([&](QDialog&) -> std::optional<int> {
        DirSelectDialog->DirectoryListBox->SetFolder(Tree() + "/b");
        return QDialog::Accepted;
    });

    m_window->MoveButtonClick();

    // b/x.txt went to the trash: the group has one file left and is no group any more.
    QCOMPARE(ReadFile(Trash() + "/files/x.txt"), std::string("same"));
    QVERIFY(!Exists(Tree() + "/a/x.txt"));
    QVERIFY(Exists(Tree() + "/b/x.txt"));
    QCOMPARE(Page().Groups().Count(), 0);
    QCOMPARE(Page().Members().Count(), 0);
    QCOMPARE(m_window->Results().Group(group).MemberCount, 1);
}

void FileOperationsTest::RenameToAnExistingNameFailsAndTheDialogComesBack() {
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}});
    WriteFile(Tree() + "/a/y.txt", "someone else");
    SelectGroup(group);
    const std::optional<int> row = SelectMember("a", "x.txt");
    QVERIFY(row.has_value());
    QStringList shownNames;
    QString notice;
    UserDialogs::SetDialogAnswerer([&](QDialog& dialog) -> std::optional<int> {
        if (&dialog != RenameDialog) {
            return QDialog::Rejected;
        }
        notice = RenameDialog->NoticeLabel->text();
        shownNames << RenameDialog->NewName->text();
        RenameDialog->NewName->setText(shownNames.size() == 1 ? "y.txt" : "z.txt");
        return QDialog::Accepted;
    });

    Button("RenameButton")->click();

    QCOMPARE(notice, QStringLiteral("'x.txt'の新しい名前を入力して下さい"));
    QCOMPARE(shownNames, (QStringList{"x.txt", "x.txt"}));
    QCOMPARE(m_messages->Texts, QStringList{kRenameFailed});
    QCOMPARE(ReadFile(Tree() + "/a/y.txt"), std::string("someone else"));
    QCOMPARE(ReadFile(Tree() + "/a/z.txt"), std::string("same"));
    QVERIFY(!Exists(Tree() + "/a/x.txt"));
    QCOMPARE(Cell(*row, 0), QStringLiteral("z.txt"));
    QCOMPARE(Member(*row).Name, std::string("z.txt"));

    // A name with a separator would leave the folder: refused like an existing name.
    int showings = 0;
    UserDialogs::SetDialogAnswerer([&](QDialog&) -> std::optional<int> {
        if (++showings > 1) {
            return QDialog::Rejected;
        }
        RenameDialog->NewName->setText("../c/z.txt");
        return QDialog::Accepted;
    });
    m_window->RenameButtonClick();
    QCOMPARE(m_messages->Texts.size(), 2);
    QVERIFY(Exists(Tree() + "/a/z.txt"));
    QVERIFY(!Exists(Tree() + "/c/z.txt"));
}

void FileOperationsTest::RenameThatDiffersOnlyInCaseIsARealRename() {
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}});
    WriteFile(Tree() + "/b/X.TXT", "a different file");
    SelectGroup(group);
    const std::optional<int> row = SelectMember("a", "x.txt");
    // The first showing types "X.TXT"; the one after a failure is cancelled.
    int showings = 0;
    UserDialogs::SetDialogAnswerer([&](QDialog&) -> std::optional<int> {
        if (++showings > 1) {
            return QDialog::Rejected;
        }
        RenameDialog->NewName->setText("X.TXT");
        return QDialog::Accepted;
    });

    Action("MenuRename")->trigger();
    QVERIFY(!Exists(Tree() + "/a/x.txt"));
    QCOMPARE(ReadFile(Tree() + "/a/X.TXT"), std::string("same"));
    QCOMPARE(Cell(*row, 0), QStringLiteral("X.TXT"));
    QCOMPARE(Member(*row).Name, std::string("X.TXT"));
    QVERIFY(m_messages->Texts.isEmpty());

    // In b the name in upper case is taken by another file, which stays.
    QVERIFY(SelectMember("b", "x.txt").has_value());
    showings = 0;
    m_window->RenameButtonClick();
    QCOMPARE(m_messages->Texts, QStringList{kRenameFailed});
    QCOMPARE(ReadFile(Tree() + "/b/X.TXT"), std::string("a different file"));
    QCOMPARE(ReadFile(Tree() + "/b/x.txt"), std::string("same"));
}

void FileOperationsTest::InPlaceRenameAcceptsOrKeepsTheOldName() {
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}});
    WriteFile(Tree() + "/b/taken.txt", "someone else");
    SelectGroup(group);
    struct Case {
        const char* Folder;
        const char* Typed;
        const char* Shown;  // the row's caption afterwards
        const char* OnDisk;
        int Messages;
    };
    const Case cases[] = {
        {"a", "x.txt", "x.txt", "x.txt", 0},        // unchanged text: nothing to do
        {"a", "new.txt", "new.txt", "new.txt", 0},  // renamed
        {"b", "taken.txt", "x.txt", "x.txt", 1},    // exists: the row keeps its old name
    };
    for (const Case& test : cases) {
        const QString typed = QString::fromUtf8(test.Typed);
        std::optional<int> row;
        for (const QString& name : {QStringLiteral("x.txt"), QStringLiteral("new.txt")}) {
            row = row ? row : SelectMember(test.Folder, name);
        }
        QVERIFY(row.has_value());
        m_messages->Texts.clear();

        MemberView()->edit(MemberIndex(*row));
        QVERIFY(m_window->FileOperations().IsEditing());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor != nullptr);
        editor->setText(typed);
        QTest::keyClick(editor, Qt::Key_Return);

        // The list commits the edit once its editor has handled the key.
        QTRY_VERIFY(!m_window->FileOperations().IsEditing());
        QCOMPARE(m_messages->Texts.size(), test.Messages);
        QCOMPARE(Cell(*row, 0), QString::fromUtf8(test.Shown));
        QCOMPARE(Member(*row).Name, std::string(test.OnDisk));
        QVERIFY(Exists(Tree() + "/" + test.Folder + "/" + test.OnDisk));
    }
    QCOMPARE(ReadFile(Tree() + "/b/taken.txt"), std::string("someone else"));
    QCOMPARE(MemberView()->actions().size(), 5);
}

void FileOperationsTest::DelEditsTextWhileEditingAndDeletesAfterEsc() {
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}, {"c/x.txt", "same"}});
    SelectGroup(group);
    const std::optional<int> row = SelectMember("a", "x.txt");
    MemberView()->setFocus();

    MemberView()->edit(MemberIndex(*row));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor != nullptr);
    QVERIFY(MemberView()->actions().isEmpty());  // the context menu is detached
    QStringList dialogs;
    UserDialogs::SetDialogAnswerer([&](QDialog& dialog) -> std::optional<int> {
        dialogs << dialog.windowTitle();
        return QDialog::Rejected;
    });
    QTest::keyClick(editor, Qt::Key_Home);
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(editor->text(), QStringLiteral(".txt"));
    QTest::keyClick(editor, Qt::Key_F2);
    QTest::keyClick(editor, Qt::Key_F7);
    QVERIFY(dialogs.isEmpty());
    QTest::keyClick(editor, Qt::Key_Escape);

    QVERIFY(!m_window->FileOperations().IsEditing());
    QCOMPARE(MemberView()->actions().size(), 5);
    QCOMPARE(Captions(Page().Members()), (QStringList{"x.txt", "x.txt", "x.txt"}));
    QVERIFY(Exists(Tree() + "/a/x.txt"));

    // The context menu's shortcuts act again.
    MemberView()->setFocus();
    QTest::keyClick(MemberView(), Qt::Key_F2);
    QTest::keyClick(MemberView(), Qt::Key_F7);
    QCOMPARE(dialogs, (QStringList{QStringLiteral("ファイル名変更"),
                                   QStringLiteral("移動先を指定して下さい")}));

    // Now Del deletes: one file per key press, with or without Shift.
    QVERIFY(SelectMember("a", "x.txt").has_value());
    QTest::keyClick(MemberView(), Qt::Key_Delete);
    QVERIFY(!Exists(Tree() + "/a/x.txt"));
    QCOMPARE(Page().Members().Count(), 2);
    QVERIFY(SelectMember("b", "x.txt").has_value());
    QTest::keyClick(MemberView(), Qt::Key_Delete, Qt::ShiftModifier);
    QVERIFY(!Exists(Tree() + "/b/x.txt"));
    QVERIFY(Exists(Tree() + "/c/x.txt"));
    QCOMPARE(Page().Groups().Count(), 0);
}

void FileOperationsTest::CommandsWithoutASelectedRowDoNothing() {
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}});
    SelectGroup(group);
    MemberView()->clearSelection();
    int dialogs = 0;
    UserDialogs::SetDialogAnswerer([&](QDialog&) -> std::optional<int> {
        ++dialogs;
        return QDialog::Accepted;
    });

    m_window->OpenButtonClick();
    m_window->RenameButtonClick();
    m_window->MoveButtonClick();
    m_window->FileDelButtonClick();
    m_window->DetailPropertyClick();

    QCOMPARE(dialogs, 0);
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(Page().Members().Count(), 2);
    QVERIFY(Exists(Tree() + "/a/x.txt") && Exists(Tree() + "/b/x.txt"));
}

void FileOperationsTest::NameThatIsNotUtf8IsHandledByItsBytes() {
    const std::string name = "bad\xff\xfe.txt";
    const int group = AddGroup({{"a/" + name, "same"}, {"b/" + name, "same"}, {"c/ok", "same"}});
    SelectGroup(group);
    const QString shown = QFile::decodeName(name.c_str());
    const std::optional<int> row = SelectMember("a", shown);
    QVERIFY(row.has_value());

    // Open: the URL keeps the bytes, by a double click on the row (a press first, as a real
    // double click has) or on empty space below it.
    const QPoint onRow = MemberView()->visualRect(MemberIndex(*row)).center();
    QTest::mouseClick(MemberView()->viewport(), Qt::LeftButton, {}, onRow);
    QTest::mouseDClick(MemberView()->viewport(), Qt::LeftButton, {}, onRow);
    QTest::mouseRelease(MemberView()->viewport(), Qt::LeftButton, {}, onRow);
    QTest::mouseDClick(MemberView()->viewport(), Qt::LeftButton, {},
                       QPoint(10, MemberView()->viewport()->height() - 5));
    QCOMPARE(m_opened.size(), 2);
    for (const QUrl& url : m_opened) {
        QCOMPARE(url.toEncoded(),
                 QByteArray("file://" + QByteArray::fromStdString(Tree()) + "/a/bad%FF%FE.txt"));
    }

    // Properties get the bytes.
    std::string infoPath;
    UserDialogs::SetDialogAnswerer([&](QDialog& dialog) -> std::optional<int> {
        if (&dialog == FileInfoDialog) {
            infoPath = FileInfoDialog->FilePath;
        }
        return QDialog::Accepted;
    });
    Action("DetailProperty")->trigger();
    QCOMPARE(infoPath, Tree() + "/a/" + name);

    // Rename: unchanged text leaves the file alone; a new name renames the file by its bytes.
    m_window->RenameButtonClick();
    QVERIFY(Exists(Tree() + "/a/" + name));
    // An edit elsewhere in the name keeps the bytes that could not be shown.
    UserDialogs::SetDialogAnswerer([&](QDialog&) -> std::optional<int> {
        QString text = RenameDialog->NewName->text();
        text.replace(QStringLiteral(".txt"), QStringLiteral(".jpg"));
        RenameDialog->NewName->setText(text);
        return QDialog::Accepted;
    });
    m_window->RenameButtonClick();
    QCOMPARE(ReadFile(Tree() + "/a/bad\xff\xfe.jpg"), std::string("same"));
    QVERIFY(!Exists(Tree() + "/a/" + name));
    QVERIFY(SelectMember("a", QFile::decodeName("bad\xff\xfe.jpg")).has_value());
    UserDialogs::SetDialogAnswerer([&](QDialog&) -> std::optional<int> {
        RenameDialog->NewName->setText("good.txt");
        return QDialog::Accepted;
    });
    m_window->RenameButtonClick();
    QVERIFY(!Exists(Tree() + "/a/bad\xff\xfe.jpg"));
    QCOMPARE(ReadFile(Tree() + "/a/good.txt"), std::string("same"));

    // Delete by its bytes: the trash records them percent-encoded.
    QVERIFY(SelectMember("b", shown).has_value());
    m_window->FileDelButtonClick();
    QVERIFY(!Exists(Tree() + "/b/" + name));
    QCOMPARE(ReadFile(Trash() + "/files/" + name), std::string("same"));
    QVERIFY(ReadFile(Trash() + "/info/" + name + ".trashinfo").find("/b/bad%FF%FE.txt") !=
            std::string::npos);
    QVERIFY(m_messages->Texts.isEmpty());
}

void FileOperationsTest::CtrlZPutsBackSingleDeletesLastFirst() {
    const int pair = AddGroup({{"a/x.txt", "pair"}, {"b/x.txt", "pair"}});
    const int three = AddGroup({{"a/y.txt", "three"}, {"b/y.txt", "three"}, {"c/y.txt", "three"}});
    SelectGroup(pair);
    QVERIFY(SelectMember("a", "x.txt").has_value());
    Action("DetailDelete")->trigger();
    SelectGroup(three);
    QVERIFY(SelectMember("b", "y.txt").has_value());
    Action("DetailDelete")->trigger();
    QCOMPARE(Page().Groups().Count(), 1);

    // The last delete first: the group keeps its row, now with three members again.
    QTest::keyClick(m_window, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(ReadFile(Tree() + "/b/y.txt"), std::string("three"));
    QVERIFY(!Exists(Tree() + "/a/x.txt"));
    QCOMPARE(SelectedGroupCell(1), QStringLiteral("3"));
    QCOMPARE(Captions(Page().Members()), (QStringList{"y.txt", "y.txt", "y.txt"}));

    // Then the first: its group, which had dropped to one member, comes back.
    QTest::keyClick(m_window, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(ReadFile(Tree() + "/a/x.txt"), std::string("pair"));
    QCOMPARE(Page().Groups().Count(), 2);
    QCOMPARE(GroupHeader(), QStringLiteral("検索結果 2件"));
    QCOMPARE(Page().Groups().GroupAt(1), pair);
    QCOMPARE(Page().Groups().index(1, 0).data().toString(), QStringLiteral("x.txt"));
    QCOMPARE(Page().Groups().index(1, 1).data().toString(), QStringLiteral("2"));
    QCOMPARE(m_window->Results().Group(pair).MemberCount, 2);
    SelectGroup(pair);
    QCOMPARE(Captions(Page().Members(), 1), (QStringList{QString::fromStdString(Tree() + "/a/"),
                                                         QString::fromStdString(Tree() + "/b/")}));

    // Nothing is left to put back.
    QVERIFY(!Action("MenuUndo")->isEnabled());
    QTest::keyClick(m_window, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(m_messages->Texts.isEmpty());
    QVERIFY(QDir(QString::fromStdString(Trash() + "/files")).isEmpty());
}

void FileOperationsTest::UndoOntoATakenNameChangesNothing() {
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}, {"c/x.txt", "same"}});
    SelectGroup(group);
    QVERIFY(SelectMember("b", "x.txt").has_value());
    Action("DetailDelete")->trigger();
    WriteFile(Tree() + "/b/x.txt", "a new file");

    Action("MenuUndo")->trigger();

    QCOMPARE(ReadFile(Tree() + "/b/x.txt"), std::string("a new file"));
    QCOMPARE(ReadFile(Trash() + "/files/x.txt"), std::string("same"));
    QVERIFY(Exists(Trash() + "/info/x.txt.trashinfo"));
    QCOMPARE(m_messages->Texts,
             QStringList{QString::fromStdString(Tree() + "/b/x.txt") +
                         QStringLiteral(" を元に戻せません。同じ名前のファイルがあります")});
    QCOMPARE(m_window->Results().Group(group).MemberCount, 2);
    QCOMPARE(Page().Members().Count(), 2);
}

void FileOperationsTest::FailedUndoMayBeTriedAgain() {
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}, {"c/x.txt", "same"}});
    const int other = AddGroup({{"a/y.txt", "pair"}, {"b/y.txt", "pair"}, {"c/y.txt", "pair"}});
    SelectGroup(other);
    QVERIFY(SelectMember("a", "y.txt").has_value());
    Action("DetailDelete")->trigger();
    SelectGroup(group);
    QVERIFY(SelectMember("b", "x.txt").has_value());
    Action("DetailDelete")->trigger();
    WriteFile(Tree() + "/b/x.txt", "a new file");

    // The name is taken: the file stays in the trash, and the undo stays on the list.
    Action("MenuUndo")->trigger();
    QCOMPARE(m_messages->Texts.size(), 1);
    QVERIFY(Action("MenuUndo")->isEnabled());
    QVERIFY(!Exists(Tree() + "/a/y.txt"));

    // Once the user has moved the new file away, the same undo puts the file back.
    QVERIFY(std::filesystem::remove(Tree() + "/b/x.txt"));
    Action("MenuUndo")->trigger();
    QCOMPARE(ReadFile(Tree() + "/b/x.txt"), std::string("same"));
    QCOMPARE(m_window->Results().Group(group).MemberCount, 3);
    QVERIFY(!Exists(Tree() + "/a/y.txt"));

    // A file that the trash no longer holds cannot come back: the undo after it goes on with the
    // delete before.
    QVERIFY(SelectMember("c", "x.txt").has_value());
    Action("DetailDelete")->trigger();
    QVERIFY(std::filesystem::remove(Trash() + "/files/x.txt"));
    Action("MenuUndo")->trigger();
    QCOMPARE(m_messages->Texts.last(), QString::fromStdString(Tree() + "/c/x.txt") +
                                           QStringLiteral(" を元に戻せません。ごみ箱にありません"));
    QVERIFY(Action("MenuUndo")->isEnabled());
    Action("MenuUndo")->trigger();
    QCOMPARE(ReadFile(Tree() + "/a/y.txt"), std::string("pair"));
    QVERIFY(!Action("MenuUndo")->isEnabled());
}

void FileOperationsTest::HeldCtrlZPutsBackOneFile_data() {
    QTest::addColumn<bool>("marked");
    QTest::newRow("repeats marked as repeats") << true;
    // Some systems deliver a held key as presses without a release between them.
    QTest::newRow("repeats as presses without a release") << false;
}

void FileOperationsTest::HeldCtrlZPutsBackOneFile() {
    QFETCH(bool, marked);
    const int group = AddGroup(
        {{"a/x.txt", "same"}, {"b/x.txt", "same"}, {"c/x.txt", "same"}, {"d/x.txt", "same"}});
    for (const char* folder : {"b", "c", "d"}) {
        SelectGroup(group);
        QVERIFY(SelectMember(folder, "x.txt").has_value());
        Action("DetailDelete")->trigger();
    }
    QCOMPARE(m_window->Results().Group(group).MemberCount, 1);
    GroupView()->setFocus();
    const auto key = [this](bool press, bool repeat) {
        QTest::simulateEvent(GroupView(), press, Qt::Key_Z, Qt::ControlModifier, QString(), repeat);
    };

    key(true, false);
    for (int i = 0; i < 5; ++i) {
        key(true, marked);
    }
    QCOMPARE(ReadFile(Tree() + "/d/x.txt"), std::string("same"));
    QVERIFY(!Exists(Tree() + "/c/x.txt"));
    QCOMPARE(m_window->Results().Group(group).MemberCount, 2);

    // Let go and pressed again: the next one.
    key(false, false);
    key(true, false);
    QCOMPARE(ReadFile(Tree() + "/c/x.txt"), std::string("same"));
    QVERIFY(!Exists(Tree() + "/b/x.txt"));
}

void FileOperationsTest::UndoHasAnAccessKeyAndStandsApartFromDel() {
    const QList<QAction*> items = Named<QMenu>(m_window, "MenuFile")->actions();
    // First in the menu, set off from 削除(&D) (which takes a folder off the target list).
    QCOMPARE(items.at(0), Action("MenuUndo"));
    QVERIFY(items.at(1)->isSeparator());
    QCOMPARE(Action("MenuUndo")->text(), QStringLiteral("元に戻す(&U)"));
    QStringList keys;
    qsizetype commands = 0;
    for (const QAction* item : items) {
        if (!item->isSeparator()) {
            ++commands;
            const QString text = item->text();
            const qsizetype amp = text.indexOf(u'&');
            QVERIFY2(amp >= 0 && amp + 1 < text.size(), qPrintable(text));
            keys << text.mid(amp + 1, 1).toUpper();
        }
    }
    keys.removeDuplicates();
    QCOMPARE(keys.size(), commands);
}

void FileOperationsTest::ContentColumnFollowsTheNewFirstMember_data() {
    QTest::addColumn<QStringList>("contents");  // a, b, c, d: a is the first
    QTest::addColumn<QStringList>("shown");     // b, c, d after a has gone
    // b is the first now; d holds its bytes, c does not.
    QTest::newRow("two contents") << QStringList{"one", "two", "one", "two"}
                                  << QStringList{"同一", "相違", "同一"};
    // b matched only the deleted a: nobody else holds its bytes any more.
    QTest::newRow("the only copy went")
        << QStringList{"one", "one", "six", "ten"} << QStringList{"相違", "相違", "相違"};
}

void FileOperationsTest::ContentColumnFollowsTheNewFirstMember() {
    QFETCH(QStringList, contents);
    QFETCH(QStringList, shown);
    WindowOptions options = m_window->Options();
    options.CompareMode = 2;
    m_window->SetOptions(options);
    const int group = AddGroup({{"a/x.txt", contents[0].toStdString()},
                                {"b/x.txt", contents[1].toStdString()},
                                {"c/x.txt", contents[2].toStdString()},
                                {"d/x.txt", contents[3].toStdString()}});
    // What the search handed over: each member beside the first, which has a copy in both rows.
    std::vector<search::ContentMatch> matches;
    QStringList before;
    for (const QString& bytes : contents) {
        const bool same = bytes == contents[0];
        matches.push_back(same ? search::ContentMatch::Same : search::ContentMatch::Different);
        before << (same ? QStringLiteral("同一") : QStringLiteral("相違"));
    }
    m_window->PostContentMatches(group, matches);
    SelectGroup(group);
    QVERIFY(SelectMember("a", "x.txt").has_value());

    Action("DetailDelete")->trigger();

    QCOMPARE(Captions(Page().Members(), MemberListModel::kContentColumn), shown);
    // The undo brings the first back, and the column compares with it again.
    Action("MenuUndo")->trigger();
    QCOMPARE(Captions(Page().Members(), MemberListModel::kContentColumn), before);
}

void FileOperationsTest::ContentOfAMemberChangedSinceIsUnknown() {
    WindowOptions options = m_window->Options();
    options.CompareMode = 2;
    m_window->SetOptions(options);
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/x.txt", "same"}, {"c/x.txt", "same"}});
    // c as the search found it: modified at a time with a fraction of a second.
    const std::string changed = Tree() + "/c/x.txt";
    const time_t second = 1'700'000'000;
    const struct timespec found[2] = {{0, UTIME_OMIT}, {second, 500'000'000}};
    QVERIFY(utimensat(AT_FDCWD, changed.c_str(), found, 0) == 0);
    m_window->Results().Group(group).Members[2].Stamp = platform::ReadFileStamp(changed).value();
    m_window->PostContentMatches(group,
                                 std::vector<search::ContentMatch>(3, search::ContentMatch::Same));
    SelectGroup(group);
    QCOMPARE(Captions(Page().Members(), MemberListModel::kContentColumn),
             (QStringList{"同一", "同一", "同一"}));

    // c changes after the search: the same size, and the time that the list shows (to the
    // second) put back.
    WriteFile(changed, "diff");
    const struct timespec shown[2] = {{0, UTIME_OMIT}, {second, 0}};
    QVERIFY(utimensat(AT_FDCWD, changed.c_str(), shown, 0) == 0);
    GroupView()->clearSelection();
    SelectGroup(group);
    QCOMPARE(Captions(Page().Members(), MemberListModel::kContentColumn),
             (QStringList{"同一", "同一", ""}));

    // A first member that changed leaves every comparison unknown.
    WriteFile(Tree() + "/a/x.txt", "new!");
    GroupView()->clearSelection();
    SelectGroup(group);
    QCOMPARE(Captions(Page().Members(), MemberListModel::kContentColumn),
             (QStringList{"", "", ""}));
}

void FileOperationsTest::ProtectedFileIsDeletedOrMovedOnlyAfterAYes_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("yes");
    for (const char* command : {"delete button", "Del key", "move"}) {
        QTest::addRow("%s, No", command) << command << false;
        QTest::addRow("%s, Yes", command) << command << true;
    }
}

void FileOperationsTest::ProtectedFileIsDeletedOrMovedOnlyAfterAYes() {
    QFETCH(QString, command);
    QFETCH(bool, yes);
    Named<QLineEdit>(m_window, "AddText")->setText(QStringLiteral("/b/"));
    m_window->AddTextKeyPress('\r');
    const int group = AddGroup({{"a/x.txt", "same"}, {"b/y.txt", "same"}, {"c/z.txt", "same"}});
    SelectGroup(group);
    QList<UserDialogs::Request> questions;
    UserDialogs::SetAnswerer([&](const UserDialogs::Request& request) {
        questions << request;
        return yes ? QMessageBox::Yes : QMessageBox::No;
    });
    bool folderAsked = false;
    UserDialogs::SetDialogAnswerer([&](QDialog& dialog) -> std::optional<int> {
        folderAsked = &dialog == DirSelectDialog;
        DirSelectDialog->DirectoryListBox->SetFolder(Tree() + "/d");
        return QDialog::Accepted;
    });

    // A file that no entry covers goes without a question.
    QVERIFY(SelectMember("a", "x.txt").has_value());
    const auto run = [&] {
        if (command == "delete button") {
            QTest::mouseClick(Button("FileDelButton"), Qt::LeftButton);
        } else if (command == "Del key") {
            QTest::keyClick(MemberView(), Qt::Key_Delete);
        } else {
            m_window->MoveButtonClick();
        }
    };
    run();
    QVERIFY(!Exists(Tree() + "/a/x.txt"));
    QVERIFY(questions.isEmpty());

    folderAsked = false;
    QVERIFY(SelectMember("b", "y.txt").has_value());
    run();
    QCOMPARE(questions.size(), 1);
    const QString action = command == "move" ? QStringLiteral("移動") : QStringLiteral("削除");
    QCOMPARE(questions.front().Text,
             QStringLiteral("%1/b/y.txt は削除しちゃ駄目リストの「/B/」に当たります。\n"
                            "それでも%2しますか？")
                 .arg(m_tree->path(), action));
    QCOMPARE(questions.front().Buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(Exists(Tree() + "/b/y.txt"), !yes);
    // A move that the user turned down asks for no folder either.
    QCOMPARE(folderAsked, command == "move" && yes);
    QCOMPARE(Exists(Tree() + "/d/y.txt"), command == "move" && yes);
}

void FileOperationsTest::GroupListSortsByAClickedHeaderAndReversesOnTheNextClick() {
    // name, copies and bytes: surplus 4, 10 and 1
    const int b = AddGroup({{"a/b.txt", "same"}, {"b/b.txt", "same"}});
    const int a = AddGroup({{"a/a.txt", "other"}, {"b/a.txt", "other"}, {"c/a.txt", "other"}});
    const int c = AddGroup({{"a/c.txt", "1"}, {"b/c.txt", "1"}});
    SelectGroup(b);
    QHeaderView* header = GroupView()->header();
    const auto click = [&](int column) {
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    };
    const auto groups = [&] {
        std::vector<int> shown;
        for (int row = 0; row < Page().Groups().Count(); ++row) {
            shown.push_back(Page().Groups().GroupAt(row));
        }
        return shown;
    };
    QCOMPARE(Captions(Page().Groups(), GroupListModel::kSurplusColumn),
             (QStringList{"4", "10", "1"}));
    QCOMPARE(Page().Groups().headerData(GroupListModel::kSurplusColumn, Qt::Horizontal).toString(),
             QStringLiteral("余分な容量"));
    // The order found until a click.
    QCOMPARE(groups(), (std::vector<int>{b, a, c}));

    const struct {
        int Column;
        std::vector<int> Groups;
    } clicks[] = {
        {GroupListModel::kNameColumn, {a, b, c}},    {GroupListModel::kNameColumn, {c, b, a}},
        {GroupListModel::kSurplusColumn, {c, b, a}}, {GroupListModel::kSurplusColumn, {a, b, c}},
        {GroupListModel::kCountColumn, {b, c, a}},   {GroupListModel::kNameColumn, {a, b, c}},
    };
    for (const auto& test : clicks) {
        click(test.Column);
        QCOMPARE(groups(), test.Groups);
        // The selected group stays selected, and its members stay listed.
        QCOMPARE(Page().SelectedGroup(), std::optional<int>(b));
        QCOMPARE(Page().Members().Group(), b);
    }
    // A row that comes later goes to the end.
    const int d = AddGroup({{"a/0.txt", "zero"}, {"b/0.txt", "zero"}});
    QCOMPARE(groups(), (std::vector<int>{a, b, c, d}));
    QVERIFY(header->isSortIndicatorShown());

    // Emptied for another search, the list starts again in the order found: the next click on
    // the name sorts ascending.
    Page().Clear();
    QVERIFY(!header->isSortIndicatorShown());
    m_window->PostGroupRow(c);
    m_window->PostGroupRow(a);
    QCOMPARE(groups(), (std::vector<int>{c, a}));
    click(GroupListModel::kNameColumn);
    QCOMPARE(groups(), (std::vector<int>{a, c}));
}

void FileOperationsTest::SurplusBytesFollowDeletesAndUndo() {
    auto* label = m_window->findChild<QLabel*>(QStringLiteral("SurplusLabel"));
    QVERIFY(label != nullptr);
    QVERIFY(label->isHidden());
    AddGroup({{"a/b.txt", "same"}, {"b/b.txt", "same"}});
    const int three = AddGroup({{"a/a.txt", "other"}, {"b/a.txt", "other"}, {"c/a.txt", "other"}});
    const int pair = AddGroup({{"a/c.txt", "1"}, {"b/c.txt", "1"}});
    QCOMPARE(label->text(), QStringLiteral("余分なコピー 15 バイト"));
    QVERIFY(label->isVisibleTo(m_window));

    // One of three copies goes; one of two takes its group off the list.
    SelectGroup(three);
    QVERIFY(SelectMember("b", "a.txt").has_value());
    m_window->FileDelButtonClick();
    QCOMPARE(label->text(), QStringLiteral("余分なコピー 10 バイト"));
    QCOMPARE(SelectedGroupCell(GroupListModel::kSurplusColumn), QStringLiteral("5"));
    SelectGroup(pair);
    QVERIFY(SelectMember("a", "c.txt").has_value());
    m_window->FileDelButtonClick();
    QCOMPARE(label->text(), QStringLiteral("余分なコピー 9 バイト"));
    Action("MenuUndo")->trigger();
    QCOMPARE(label->text(), QStringLiteral("余分なコピー 10 バイト"));
    Action("MenuUndo")->trigger();
    QCOMPARE(label->text(), QStringLiteral("余分なコピー 15 バイト"));

    // The name modes show neither the column nor the total: copies of a name may differ.
    WindowOptions options = m_window->Options();
    options.CompareMode = 2;
    m_window->SetOptions(options);
    m_window->FormPaint();
    m_window->ShowResultCount();
    QVERIFY(GroupView()->isColumnHidden(GroupListModel::kSurplusColumn));
    QVERIFY(label->isHidden());
    options.CompareMode = 0;
    m_window->SetOptions(options);
    m_window->FormPaint();
    QVERIFY(!GroupView()->isColumnHidden(GroupListModel::kSurplusColumn));
}

QTEST_MAIN(FileOperationsTest)
#include "file_operations_test.moc"
