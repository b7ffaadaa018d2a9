#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTreeWidget>

#include "dialogs/About.h"
#include "dialogs/Opt_dialog.h"
#include "dialogs/Skipped_list.h"
#include "dialogs/folder_list_box.h"
#include "dialogs/radio_group.h"
#include "dialogs/search_filter_box.h"
#include "dialogs/user_dialogs.h"
#include "gui_support.h"
#include "main/command_line.h"
#include "main/group_list_model.h"
#include "main/main_form.h"
#include "main/member_list_model.h"
#include "main/program_windows.h"
#include "main/progress_panel.h"
#include "main/results_page.h"
#include "main/targets_page.h"

Q_DECLARE_METATYPE(WindowRequest)

namespace {

const QString kFinished = QStringLiteral("検索終了");
const QString kStopped = QStringLiteral("検索を中断しました");

QStringList Captions(const QTreeWidget* list, int column = 0) {
    QStringList captions;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        captions << list->topLevelItem(i)->text(column);
    }
    return captions;
}

QStringList Captions(const QAbstractItemModel& list, int column = 0) {
    QStringList captions;
    for (int row = 0; row < list.rowCount(); ++row) {
        captions << list.index(row, column).data().toString();
    }
    return captions;
}

// The group whose row shows `count` members.
std::optional<int> GroupWithCount(const GroupListModel& groups, const QString& count) {
    for (int row = 0; row < groups.Count(); ++row) {
        if (groups.index(row, GroupListModel::kCountColumn).data().toString() == count) {
            return groups.GroupAt(row);
        }
    }
    return std::nullopt;
}

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void SearchListsEachGroupAndTheCount();
    void SelectingAGroupFillsMembersSortedByName();
    void NameModeShowsSizesAndWhichCopiesMatch();
    void StopDuringASearchEndsStoppedAndIdle();
    void ClosingDuringASearchStopsItFirst();
    void SecondStartBeforeTheSearchHasStartedIsRefused();
    void NewSearchMayStartWhileTheEndMessageIsOpen();
    void TargetListKeepsOneEntryPerFolderSorted();
    void CommandLineFoldersBecomeTargetsOnce();
    void CommandLineAnswersAndRefuses_data();
    void CommandLineAnswersAndRefuses();
    void OptionsCancelChangesNothing();
    void OptionsNewCompareModeClearsTheLists();
    void OptionsFilterLeavesFilesOutOfTheNextSearch();
    void ProgressPanelDrawsABarOnlyWithBothCounters();
    void AboutBoxShowsNameAndVersion();
    void PathsTheSearchCouldNotLookAtAreCountedAndListed();
    void AKeyAfterASearchNeverEndsTheProgram_data();
    void AKeyAfterASearchNeverEndsTheProgram();

  private:
    void AddTarget(const QString& folder);
    void RunSearch();
    ResultsPage& Page() { return m_window->ResultsTab(); }

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_tree;
    std::unique_ptr<MessageRecorder> m_messages;
    TMainForm* m_window = nullptr;
};

void MainFormTest::initTestCase() {
    QVERIFY(m_home.isValid());
    UsePrivateHome(m_home);
}

void MainFormTest::init() {
    m_tree = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tree->isValid());
    // Three groups by content: two of "alpha" (different names), three of "beta"; "gamma" and
    // "delta" stand alone. Names chosen so that members sort differently from their walk order.
    WriteTree(m_tree->path(), {{"a/zeta.txt", "alpha contents"},
                               {"b/Alpha.txt", "alpha contents"},
                               {"a/m.dat", "beta contents, longer"},
                               {"b/c/b.dat", "beta contents, longer"},
                               {"b/写真.dat", "beta contents, longer"},
                               {"a/gamma.txt", "gamma"},
                               {"b/delta.txt", "delta!"},
                               {"b/gamma.txt", "another"}});
    m_messages = std::make_unique<MessageRecorder>();
    CreateProgramWindows();
    m_window = MainForm;
    m_window->show();
}

void MainFormTest::cleanup() {
    DestroyProgramWindows();
    m_window = nullptr;
    m_messages.reset();
    UserDialogs::SetDialogAnswerer({});
    m_tree.reset();
}

void MainFormTest::AddTarget(const QString& folder) {
    Named<FolderListBox>(m_window, "DirectoryList")->SetFolder(folder.toStdString());
    m_window->AddButtonClick();
}

void MainFormTest::RunSearch() {
    QSignalSpy ended(m_window, &TMainForm::SearchJobEnded);
    m_window->SearchButtonClick();
    QVERIFY(ended.wait(30000));
}

void MainFormTest::SearchListsEachGroupAndTheCount() {
    AddTarget(m_tree->path());
    QCOMPARE(Page().Groups().headerData(0, Qt::Horizontal).toString(), QStringLiteral("検索結果"));
    const int windowNice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    WindowOptions options = m_window->Options();
    options.PriorityClass = 64;
    m_window->SetOptions(options);

    RunSearch();

    QCOMPARE(m_messages->Texts, QStringList{kFinished});
    QCOMPARE(Page().Groups().Count(), 2);
    QCOMPARE(Page().Groups().headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("検索結果 2件"));
    QVERIFY(GroupWithCount(Page().Groups(), "2").has_value());
    QVERIFY(GroupWithCount(Page().Groups(), "3").has_value());
    // Back to idle, status bar empty, and the window thread never took the search's priority.
    QVERIFY(Named<QPushButton>(m_window, "SearchButton")->isEnabled());
    QVERIFY(Named<QAction>(m_window, "MenuStart")->isEnabled());
    QVERIFY(!Named<QPushButton>(m_window, "StopButton")->isEnabled());
    QVERIFY(!Named<QAction>(m_window, "MenuStop")->isEnabled());
    QCOMPARE(Named<QLabel>(m_window, "StatusPanel1")->text(), QString());
    QCOMPARE(Named<QLabel>(m_window, "StatusPanel2")->text(), QString());
    QCOMPARE(getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())), windowNice);
}

void MainFormTest::SelectingAGroupFillsMembersSortedByName() {
    AddTarget(m_tree->path());
    RunSearch();
    const std::optional<int> group = GroupWithCount(Page().Groups(), "3");
    QVERIFY(group.has_value());
    QVERIFY(Page().SelectGroup(*group));

    QCOMPARE(Captions(Page().Members()),
             (QStringList{"b.dat", "m.dat", QStringLiteral("写真.dat")}));
    QCOMPARE(Page().SizeLabel()->text(), QStringLiteral("  ﾌｧｲﾙ ｻｲｽﾞ 21ﾊﾞｲﾄ"));
    QCOMPARE(Page().MemberView()->columnWidth(3), 0);
    QCOMPARE(Page().MemberView()->columnWidth(MemberListModel::kContentColumn), 0);
    // Each row leads back to its result slot, whose bytes name the file shown.
    const MemberListModel& members = Page().Members();
    QCOMPARE(members.Group(), *group);
    for (int row = 0; row < members.Count(); ++row) {
        const QVariant slot = members.index(row, 0).data(MemberListModel::kSlotRole);
        QVERIFY(slot.isValid());
        const search::ResultMember& member =
            m_window->Results().Group(*group).Members[slot.value<std::size_t>()];
        QCOMPARE(QString::fromStdString(member.FullPath()),
                 members.index(row, 1).data().toString() + members.index(row, 0).data().toString());
        QCOMPARE(members.index(row, 3).data().toString(), QStringLiteral("21"));
    }

    // A member deleted since the search keeps its row and slot key, with an empty size.
    QVERIFY(QFile::remove(m_tree->path() + "/a/m.dat"));
    Page().GroupView()->clearSelection();
    QCOMPARE(members.Count(), 3);  // deselecting changes nothing
    QVERIFY(Page().SelectGroup(*group));
    QCOMPARE(members.index(1, 0).data().toString(), QStringLiteral("m.dat"));
    QCOMPARE(members.index(1, 3).data().toString(), QString());
    QVERIFY(members.index(1, 0).data(MemberListModel::kSlotRole).isValid());
}

void MainFormTest::NameModeShowsSizesAndWhichCopiesMatch() {
    WriteTree(m_tree->path(), {{"c/gamma.txt", "gamma"}});
    WindowOptions options = m_window->Options();
    options.CompareMode = 2;
    m_window->SetOptions(options);
    m_window->FormPaint();
    AddTarget(m_tree->path());
    RunSearch();
    QCOMPARE(m_messages->Texts, QStringList{kFinished});
    QCOMPARE(Captions(Page().Groups()), QStringList{"gamma.txt"});
    QVERIFY(Page().SelectGroup(Page().Groups().GroupAt(0)));

    QStringList sizes = Captions(Page().Members(), 3);
    sizes.sort();  // every row is named gamma.txt
    QCOMPARE(sizes, (QStringList{"5", "5", "7"}));
    QCOMPARE(Page().MemberView()->columnWidth(3), 50);
    // 内容: 同一 for the members that hold the first member's bytes, 相違 for the others.
    const MemberListModel& members = Page().Members();
    QCOMPARE(members.headerData(MemberListModel::kContentColumn, Qt::Horizontal).toString(),
             QStringLiteral("内容"));
    QVERIFY(Page().MemberView()->columnWidth(MemberListModel::kContentColumn) > 0);
    QMap<int, QPair<QByteArray, QString>> bySlot;
    for (int row = 0; row < members.Count(); ++row) {
        QFile file(members.index(row, 1).data().toString() +
                   members.index(row, 0).data().toString());
        QVERIFY(file.open(QIODevice::ReadOnly));
        bySlot[members.SlotAt(row)] = {
            file.readAll(), members.index(row, MemberListModel::kContentColumn).data().toString()};
    }
    // The first member says 同一 only when another member holds its bytes.
    const QByteArray first = bySlot.first().first;
    int copies = 0;
    for (const auto& [bytes, shown] : bySlot) {
        copies += bytes == first ? 1 : 0;
    }
    for (auto member = bySlot.begin(); member != bySlot.end(); ++member) {
        const bool same = member->first == first && (member != bySlot.begin() || copies > 1);
        QCOMPARE(member->second, same ? QStringLiteral("同一") : QStringLiteral("相違"));
    }
    QVERIFY(Page().SizeLabel()->isHidden());
    QCOMPARE(Page().SizeLabel()->text(), QString());
}

void MainFormTest::StopDuringASearchEndsStoppedAndIdle() {
    AddTarget(m_tree->path());
    // The stop arrives while the worker waits in SearchStarted's hand-over, so it is served
    // before any later hand-over: the search cannot finish on its own first.
    connect(m_window, &TMainForm::SearchStateChanged, this, [this](bool running) {
        if (running) {
            QMetaObject::invokeMethod(
                m_window, [this] { m_window->StopButtonClick(); }, Qt::QueuedConnection);
        }
    });
    QSignalSpy ended(m_window, &TMainForm::SearchJobEnded);
    m_window->SearchButtonClick();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 30000);

    QCOMPARE(m_messages->Texts, QStringList{kStopped});
    QVERIFY(Named<QPushButton>(m_window, "SearchButton")->isEnabled());
    QVERIFY(!Named<QPushButton>(m_window, "StopButton")->isEnabled());
    QCOMPARE(Named<QLabel>(m_window, "StatusPanel1")->text(), QString());

    // With no search running the stop command does nothing.
    m_window->StopButtonClick();
    QCOMPARE(m_messages->Texts.size(), 1);
}

void MainFormTest::ClosingDuringASearchStopsItFirst() {
    AddTarget(m_tree->path());
    QSignalSpy ended(m_window, &TMainForm::SearchJobEnded);
    QSignalSpy closed(m_window, &TMainForm::Closed);
    int endedWhenCloseReturned = -1;
    connect(m_window, &TMainForm::SearchStateChanged, this, [&](bool running) {
        if (running) {
            QMetaObject::invokeMethod(
                m_window,
                [&] {
                    m_window->close();
                    endedWhenCloseReturned = static_cast<int>(ended.count());
                },
                Qt::QueuedConnection);
        }
    });
    m_window->SearchButtonClick();
    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 30000);

    QCOMPARE(endedWhenCloseReturned, 1);
    QCOMPARE(m_messages->Texts, QStringList{kStopped});
    QVERIFY(!m_window->isVisible());
}

void MainFormTest::SecondStartBeforeTheSearchHasStartedIsRefused() {
    AddTarget(m_tree->path());
    QSignalSpy ended(m_window, &TMainForm::SearchJobEnded);
    m_window->SearchButtonClick();
    const auto first = m_window->SearchJob;
    m_window->SearchButtonClick();
    QCOMPARE(m_window->SearchJob, first);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 30000);
    QCOMPARE(m_messages->Texts, QStringList{kFinished});
}

void MainFormTest::NewSearchMayStartWhileTheEndMessageIsOpen() {
    m_messages.reset();
    m_messages = std::make_unique<MessageRecorder>(QStringList{kFinished});
    AddTarget(m_tree->path());
    QSignalSpy states(m_window, &TMainForm::SearchStateChanged);
    m_window->SearchButtonClick();
    QTRY_COMPARE_WITH_TIMEOUT(states.count(), 2, 30000);  // started, finished
    QTRY_COMPARE(m_messages->Texts, QStringList{kFinished});
    QVERIFY(Named<QPushButton>(m_window, "SearchButton")->isEnabled());

    // The first worker still waits for its box; the window is idle and searches again.
    m_window->StopButtonClick();
    m_window->SearchButtonClick();
    QTRY_COMPARE_WITH_TIMEOUT(states.count(), 4, 30000);
    QTRY_COMPARE(m_messages->Texts.size(), 2);
    QCOMPARE(Page().Groups().Count(), 2);

    // Dismissing the boxes lets both workers end.
    QSignalSpy ended(m_window, &TMainForm::SearchJobEnded);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible()) {
            QCOMPARE(box->text(), kFinished);
            box->button(QMessageBox::Ok)->click();
        }
    }
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 30000);
}

void MainFormTest::TargetListKeepsOneEntryPerFolderSorted() {
    auto* targets = Named<QTreeWidget>(m_window, "SearchList");
    AddTarget(m_tree->path() + "/b");
    AddTarget(m_tree->path() + "/a");
    AddTarget(m_tree->path() + "/b");
    QCOMPARE(Captions(targets), (QStringList{m_tree->path() + "/a", m_tree->path() + "/b"}));

    // The File menu's delete removes the selected target and no file.
    targets->clearSelection();
    Named<QAction>(m_window, "MenuDel")->trigger();
    QCOMPARE(targets->topLevelItemCount(), 2);
    targets->setCurrentItem(targets->topLevelItem(0));
    Named<QAction>(m_window, "MenuDel")->trigger();
    QCOMPARE(Captions(targets), QStringList{m_tree->path() + "/b"});
    QVERIFY(QFile::exists(m_tree->path() + "/a/zeta.txt"));

    // A row edited in place is searched under its new text: b/ alone holds one group, the whole
    // tree two.
    targets->topLevelItem(0)->setText(0, m_tree->path());
    QCOMPARE(Named<TargetsPage>(m_window, "TabSheet2")->Targets(),
             std::vector<std::string>{QFile::encodeName(m_tree->path()).toStdString()});
    RunSearch();
    QCOMPARE(Page().Groups().Count(), 2);
    QCOMPARE(m_messages->Texts, QStringList{kFinished});
}

void MainFormTest::OptionsCancelChangesNothing() {
    AddTarget(m_tree->path());
    RunSearch();
    QVERIFY(Page().SelectGroup(Page().Groups().GroupAt(0)));
    const int groups = Page().Groups().Count();
    const int members = Page().Members().Count();
    WindowOptions options = m_window->Options();
    options.PriorityClass = 16384;
    m_window->SetOptions(options);

    UserDialogs::SetDialogAnswerer([](QDialog& dialog) -> std::optional<int> {
        auto& options = dynamic_cast<TOptSettingForm&>(dialog);
        // An unknown class shows "普通"; the stored mode is preselected.
        if (options.SPriority->ItemIndex() != 2 || options.SearchMode->ItemIndex() != 0) {
            return -1;
        }
        options.SPriority->SetItemIndex(0);
        options.SearchMode->SetItemIndex(2);
        return QDialog::Rejected;
    });
    Named<QAction>(m_window, "MenuOptSet")->trigger();

    QCOMPARE(m_window->Options().PriorityClass, 16384);
    QCOMPARE(m_window->Options().CompareMode, 0);
    QCOMPARE(Page().Groups().Count(), groups);
    QCOMPARE(Page().Members().Count(), members);
}

void MainFormTest::OptionsNewCompareModeClearsTheLists() {
    AddTarget(m_tree->path());
    RunSearch();
    QVERIFY(Page().SelectGroup(Page().Groups().GroupAt(0)));
    QVERIFY(!Page().SizeLabel()->text().isEmpty());

    struct Case {
        int PriorityItem;
        int ModeItem;
        int ExpectedClass;
        bool ListsKept;
    };
    // Same mode with a new priority keeps the lists; a new mode empties them.
    const Case cases[] = {{3, 0, 64, true}, {1, 1, 128, false}};
    for (const Case& c : cases) {
        UserDialogs::SetDialogAnswerer([&c](QDialog& dialog) -> std::optional<int> {
            auto& options = dynamic_cast<TOptSettingForm&>(dialog);
            options.SPriority->SetItemIndex(c.PriorityItem);
            options.SearchMode->SetItemIndex(c.ModeItem);
            return QDialog::Accepted;
        });
        Named<QAction>(m_window, "MenuOptSet")->trigger();
        QCOMPARE(m_window->Options().PriorityClass, c.ExpectedClass);
        QCOMPARE(m_window->Options().CompareMode, c.ModeItem);
        QCOMPARE(Page().Groups().Count() > 0, c.ListsKept);
        QCOMPARE(Page().Members().Count() > 0, c.ListsKept);
    }
    QCOMPARE(Page().Groups().headerData(0, Qt::Horizontal).toString(), QStringLiteral("検索結果"));
    QCOMPARE(Page().SizeLabel()->text(), QString());
    QCOMPARE(Page().MemberView()->columnWidth(3), 50);
}

void MainFormTest::OptionsFilterLeavesFilesOutOfTheNextSearch() {
    AddTarget(m_tree->path());
    struct Case {
        const char* Pattern;
        const char* MinSize;
        int Groups;
    };
    // "alpha" (14 bytes, .txt) and "beta" (21 bytes, .dat) form the groups.
    const Case cases[] = {{"", "", 2}, {"*.txt", "", 1}, {"", "15", 1}, {"c", "", 2}, {"b", "", 0}};
    for (const Case& c : cases) {
        UserDialogs::SetDialogAnswerer([&c](QDialog& dialog) -> std::optional<int> {
            auto& options = dynamic_cast<TOptSettingForm&>(dialog);
            options.FilterBox->SetFilter({});
            options.FilterBox->ExcludeText->setText(QString::fromUtf8(c.Pattern));
            QTest::keyClick(options.FilterBox->ExcludeText, Qt::Key_Return);
            options.FilterBox->MinSizeText->setText(QString::fromUtf8(c.MinSize));
            return QDialog::Accepted;
        });
        Named<QAction>(m_window, "MenuOptSet")->trigger();
        RunSearch();
        QCOMPARE(Page().Groups().Count(), c.Groups);
    }
    QCOMPARE(m_window->Options().Filter.ExcludeList, std::vector<std::string>{"b"});
}

void MainFormTest::ProgressPanelDrawsABarOnlyWithBothCounters() {
    struct Case {
        std::int32_t Position;
        std::int32_t Total;
        int BlueUpTo;  // last blue column, -1 for none
    };
    const int width = Named<ProgressPanel>(m_window, "StatusPanel0")->width();
    QCOMPARE(width, 100);
    const Case cases[] = {
        {0, 100, -1}, {50, 0, -1}, {0, 0, -1}, {50, 100, 49}, {100, 100, 99}, {300, 100, 99},
    };
    for (const Case& c : cases) {
        m_window->Progress().Set(c.Position, c.Total);
        const QImage image = Named<ProgressPanel>(m_window, "StatusPanel0")->grab().toImage();
        int lastBlue = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, image.height() / 2) == QColor(0, 0, 255)) {
                lastBlue = x;
            }
        }
        QVERIFY2(lastBlue == c.BlueUpTo, qPrintable(QString("position %1 total %2: blue up to %3")
                                                        .arg(c.Position)
                                                        .arg(c.Total)
                                                        .arg(lastBlue)));
    }
}

void MainFormTest::AboutBoxShowsNameAndVersion() {
    QString product;
    QString support;
    UserDialogs::SetDialogAnswerer([&](QDialog& dialog) -> std::optional<int> {
        auto& about = dynamic_cast<TAboutBox&>(dialog);
        product = about.ProductName->text();
        support = about.OtherInfo->text();
        return QDialog::Accepted;
    });
    Named<QAction>(m_window, "MenuAbout")->trigger();
    QCOMPARE(product, QStringLiteral("Dopplet"));
    // The installed README beside the program's folder, whatever the prefix.
    const QString prefix = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/..");
    QCOMPARE(support, "サポートページ\r\nfile://" + prefix + "/share/doc/dopplet/README.md");
}

void MainFormTest::AKeyAfterASearchNeverEndsTheProgram_data() {
    QTest::addColumn<bool>("resultsShown");
    QTest::addColumn<int>("key");
    QTest::newRow("results page, Space") << true << int(Qt::Key_Space);
    QTest::newRow("results page, Enter") << true << int(Qt::Key_Return);
    QTest::newRow("targets page, Space") << false << int(Qt::Key_Space);
}

void MainFormTest::AKeyAfterASearchNeverEndsTheProgram() {
    QFETCH(bool, resultsShown);
    QFETCH(int, key);
    AddTarget(m_tree->path());
    ShowPage(m_window, resultsShown ? "TabSheet1" : "TabSheet2");
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QSignalSpy closed(m_window, &TMainForm::Closed);
    QSignalSpy ended(m_window, &TMainForm::SearchJobEnded);

    // As a user does it: a click on 検索する, which takes the focus, then a key once it is over.
    QTest::mouseClick(Named<QPushButton>(m_window, "SearchButton"), Qt::LeftButton);
    QVERIFY(ended.wait(30000));
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus != Named<QPushButton>(m_window, "ExitButton"));
    QCOMPARE(focus, resultsShown
                        ? static_cast<QWidget*>(Page().GroupView())
                        : static_cast<QWidget*>(Named<QPushButton>(m_window, "SearchButton")));
    QTest::keyClick(focus, static_cast<Qt::Key>(key));
    if (!resultsShown) {
        QVERIFY(ended.wait(30000));  // 検索する searches again
    }
    QTest::qWait(50);

    QCOMPARE(closed.count(), 0);
    QVERIFY(m_window->isVisible());
    QCOMPARE(Page().Groups().Count(), 2);
}

void MainFormTest::PathsTheSearchCouldNotLookAtAreCountedAndListed() {
    // The search hands over what it left out while it runs; a hundred thousand cost the window
    // a record each, and the list is made when the user opens it.
    constexpr int kFiles = 99'998;
    m_window->SearchStarted();
    m_window->PathSkipped({"/data/secret", search::SkipReason::FolderUnreadable,
                           std::make_error_code(std::errc::permission_denied)});
    for (int i = 0; i < kFiles; ++i) {
        m_window->PathSkipped({"/data/f" + std::to_string(i), search::SkipReason::FileUnreadable,
                               std::make_error_code(std::errc::io_error)});
    }
    m_window->PathSkipped({"/data/moving", search::SkipReason::FileChanged, {}});
    m_window->PathSkipped({"/data/long", search::SkipReason::EntryUnreadable,
                           std::make_error_code(std::errc::filename_too_long)});
    m_window->PathSkipped({"/data/lost", search::SkipReason::FolderUnreadable,
                           std::make_error_code(std::errc::no_such_file_or_directory)});
    QVERIFY(Named<QLabel>(m_window, "SkippedLabel")->isHidden());
    QVERIFY(!Named<QAction>(m_window, "MenuSkipped")->isEnabled());
    m_window->SearchFinished();

    QVERIFY(!Named<QLabel>(m_window, "SkippedLabel")->isHidden());
    QCOMPARE(QTextDocumentFragment::fromHtml(Named<QLabel>(m_window, "SkippedLabel")->text())
                 .toPlainText(),
             QStringLiteral("調べられなかったファイル 100000件・フォルダ 2件"));
    QVERIFY(Named<QAction>(m_window, "MenuSkipped")->isEnabled());
    QVERIFY(m_window->findChild<TSkippedListForm*>() == nullptr);

    // The link opens the list, as the menu command does.
    emit Named<QLabel>(m_window, "SkippedLabel")->linkActivated(QStringLiteral("#"));
    auto* list = m_window->findChild<TSkippedListForm*>();
    QVERIFY(list != nullptr && list->isVisible());
    QCOMPARE(list->PathList->model()->rowCount(), kFiles + 4);
    QCOMPARE(list->CountLabel->text(),
             QStringLiteral("調べられなかったファイル 100000件・フォルダ 2件"));
    QCOMPARE(list->RowText(0, 0), QStringLiteral("/data/secret"));
    QCOMPARE(list->RowText(0, 1),
             QStringLiteral("フォルダを読めません（%1）")
                 .arg(QString::fromStdString(
                     std::make_error_code(std::errc::permission_denied).message())));
    QCOMPARE(list->RowText(kFiles + 1, 1), QStringLiteral("比較中に変更されました"));
    QVERIFY(list->RowText(kFiles + 2, 1).startsWith(QStringLiteral("調べられません（")));

    // A new search starts afresh: the open list empties, and without skipped paths nothing is
    // said.
    m_window->SearchStarted();
    QCOMPARE(list->PathList->model()->rowCount(), 0);
    m_window->SearchFinished();
    QVERIFY(Named<QLabel>(m_window, "SkippedLabel")->isHidden());
    QVERIFY(!Named<QAction>(m_window, "MenuSkipped")->isEnabled());
    QCOMPARE(list->PathList->model()->rowCount(), 0);
}

void MainFormTest::CommandLineFoldersBecomeTargetsOnce() {
    const std::string root = QDir(m_tree->path()).canonicalPath().toStdString();
    // Four spellings of two folders, one of them relative to the current folder.
    const QString current = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(root)));
    const WindowArguments arguments =
        ParseWindowArguments({root + "/a/", "a", "--", root + "/./b", root + "//a/."});
    QVERIFY(QDir::setCurrent(current));
    QCOMPARE(arguments.Request, WindowRequest::Run);
    const std::vector<std::string> expected = {root + "/a", root + "/a", root + "/b", root + "/a"};
    QCOMPARE(arguments.Folders, expected);

    AddTarget(QString::fromStdString(root + "/b"));
    ShowPage(m_window, "TabSheet1");
    m_window->AddTargets(arguments.Folders);
    QCOMPARE(
        Captions(Named<QTreeWidget>(m_window, "SearchList")),
        (QStringList{QString::fromStdString(root + "/a"), QString::fromStdString(root + "/b")}));
    QCOMPARE(ShownPage(m_window), QStringLiteral("TabSheet2"));
}

void MainFormTest::CommandLineAnswersAndRefuses_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<WindowRequest>("request");
    QTest::addColumn<QString>("problem");
    QTest::newRow("none") << QStringList{} << WindowRequest::Run << QString();
    QTest::newRow("help") << QStringList{"/", "--help", "--bogus"} << WindowRequest::Help
                          << QString();
    QTest::newRow("-h") << QStringList{"-h"} << WindowRequest::Help << QString();
    QTest::newRow("version") << QStringList{"--version"} << WindowRequest::Version << QString();
    QTest::newRow("unknown option")
        << QStringList{"--bogus", "--help"} << WindowRequest::Usage << "unknown option: --bogus";
    QTest::newRow("missing folder") << QStringList{"/no/such/folder"} << WindowRequest::Usage
                                    << "not a folder: /no/such/folder";
    QTest::newRow("a device") << QStringList{"/dev/null"} << WindowRequest::Usage
                              << "not a folder: /dev/null";
    QTest::newRow("empty") << QStringList{""} << WindowRequest::Usage << "not a folder: ";
    QTest::newRow("option after --")
        << QStringList{"--", "--help"} << WindowRequest::Usage << "not a folder: --help";
}

void MainFormTest::CommandLineAnswersAndRefuses() {
    QFETCH(QStringList, arguments);
    QFETCH(WindowRequest, request);
    QFETCH(QString, problem);
    std::vector<std::string> given;
    for (const QString& argument : arguments) {
        given.push_back(argument.toStdString());
    }
    const WindowArguments parsed = ParseWindowArguments(given);
    QCOMPARE(parsed.Request, request);
    QCOMPARE(QString::fromStdString(parsed.Problem), problem);
    QVERIFY(request == WindowRequest::Run || parsed.Folders.empty());
}

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
