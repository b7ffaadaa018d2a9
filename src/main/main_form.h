#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "func/file_actions.h"
#include "func/keep_rule.h"
#include "func/settings.h"
#include "func/single_file_operations.h"
#include "main/window_options.h"
#include "search/progress.h"
#include "search/result_table.h"
#include "search/search.h"
#include "search/search_host.h"

class NoDeletePage;
class ProgressPanel;
class TargetsPage;
class TSkippedListForm;
class QAction;
class QEventLoop;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QMessageBox;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

// The main window: the search targets, the results, the must-not-delete list, the search
// commands and the status bar. It hosts the search job: the job's hand-overs run here on the
// window thread; the worker waits for the start and the end, not for status reports and rows.
class TMainForm : public QMainWindow, public search::SearchHost {
    Q_OBJECT

  public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Results page.
    QFrame* Panel4;
    QFrame* Panel5;
    QPushButton* OpenButton;
    QPushButton* RenameButton;
    QPushButton* MoveButton;
    QPushButton* FileDelButton;
    QPushButton* AllDelete;
    QPushButton* PreviewButton;
    QFrame* Panel14;
    QTreeWidget* SameList;
    QSplitter* Splitter1;
    QFrame* Panel2;
    QLabel* FileSizeView;
    QTreeWidget* DetailList;

    // Menus.
    QAction* MenuOpen;
    QAction* MenuRename;
    QAction* MenuMove;
    QAction* MenuDel;
    QAction* MenuUndo;
    QAction* MenuPreview;
    QAction* MenuExport;
    QMenu* DetailMenu;
    QAction* DetailOpen;
    QAction* DetailRename;
    QAction* DetailMove;
    QAction* DetailDelete;
    QAction* DetailProperty;

    // The search started last; only its SearchSignal outlives the job.
    std::shared_ptr<search::SearchSignal> SearchJob;

    // What the options dialog chose; SetOptions takes effect with the next search (the lists
    // show a new compare mode after FormPaint).
    WindowOptions Options() const;
    void SetOptions(const WindowOptions& options);
    // The settings file that the window read and writes back when it closes.
    const std::string& IniFile() const { return IniFileName; }
    // True while a member row's name is open for editing in place.
    bool IsEditingInPlace() const { return InPlaceEditing; }

    search::ResultTable& Results() { return *m_results; }
    search::ProgressCounters& Progress() { return m_progress; }

    // Commands.
    void SearchButtonClick();
    void StopButtonClick();
    void ExitButtonClick();
    void MenuOptSetClick();
    void MenuAboutClick();
    // Opens the list of the files and folders that the last search could not look at.
    void MenuSkippedClick();
    void AddButtonClick();
    void DelButtonClick();
    // Adds each folder, given in the folder selection's form, to the search targets unless it is
    // there already, and shows the search targets page.
    void AddTargets(const std::vector<std::string>& folders);

    // File operations on the selected member row.
    void OpenButtonClick();
    void RenameButtonClick();
    void MoveButtonClick();
    void FileDelButtonClick();
    void DetailPropertyClick();
    void AllDeleteClick();
    // Shows in the report window what the bulk delete would do, deleting nothing.
    void PreviewDeleteClick();
    // Saves the listed groups as CSV or as JSON lines, as the export dialog's filter says.
    void ExportClick();

    // Single-file operations (file_operations.cpp). Every path comes from the bytes of the
    // result slot behind the row, never from the row's decoded text.
    // The text that a member row shows for a file name's bytes; a rename maps an edit of it back
    // onto the bytes.
    static QString ShownName(const std::string& name);
    // The member list's column that says, in the name modes, whether a member holds the first
    // member's bytes.
    static constexpr int kContentColumn = 4;
    // The full path of the file that a member row shows; empty for a row without a slot.
    std::string FullPathOf(const QTreeWidgetItem* row) const;
    // Moves one file to the trash through the window's file actions. The single and the bulk
    // delete both use it.
    platform::TrashResult DeletePath(const std::string& path);
    // For a file that the must-not-delete list protects: asks whether to `action` it anyway
    // (default No), naming the entry that protects it. True when the file is not protected or
    // the user said Yes.
    bool MayChangeProtected(const std::string& path, const QString& action);
    // Replaces what the window does to files (the real file system by default).
    void SetFileActions(func::FileActions actions);
    // Deletes the row's file, provided it is still the file that the search found.
    std::error_code DeleteRowFile(const QTreeWidgetItem* row);
    void DeleteSelected();
    // Puts the file of the last single delete not undone yet back, with its rows.
    void MenuUndoClick();
    // Moves the row's file into `folder` (bytes) and brings row and slot up to date.
    void MoveRowFile(QTreeWidgetItem* row, const std::string& folder);
    // Renames the row's file: 0 when the row may show `newName`, 1 when the rename failed (the
    // message has been shown). Never replaces an existing file.
    int RenameRowFile(QTreeWidgetItem* row, const QString& newName);
    // In-place rename of a member row: the editor opens, is accepted with `text` (which the row
    // shows afterwards; a failed rename puts the old name back into it), or is closed.
    void DetailListEditing();
    void DetailListEdited(QTreeWidgetItem* row, QString& text);
    void EndInPlaceEdit();
    void DetailListKeyDown(int key);
    // Hands a file to the desktop's associated program.
    static void OpenWithAssociatedProgram(const std::string& path);

    // Results view.
    void ShowResultCount();
    void SameListColumnClick(int column);
    void SameListSelectItem();
    // Shows in bold on a coloured ground the member rows of the files that the bulk delete would
    // keep, under the keep rule and the must-not-delete list as they are now.
    void MarkKeptMembers();
    void FormPaint();
    void DetailListCustomDraw();
    void SStatusBarDrawPanel(QPainter& painter, const QRect& rect);
    void FormResize();

    // Must-not-delete page.
    void AddTextKeyPress(char key);
    void NoDelListEdited(QTreeWidgetItem* row);
    void NoDelListExit();
    // Sorts NoDelList and removes blank and repeated entries.
    void TidyNoDelList();
    // The entries of NoDelList in list order, as bytes.
    std::vector<std::string> NoDelEntries() const;

    // Settings file. SaveSettings shows why it failed and returns false.
    void LoadSettings();
    bool SaveSettings();

    // Records the priority class for the search's worker thread (see ApplyPriorityClass in
    // search_hand_overs.cpp).
    void ApplyPriorityClass(int priorityClass);

    // The result slot (group index, member index) behind a DetailList row, from its slot key.
    static std::optional<std::pair<int, int>> SlotOfRow(const QTreeWidgetItem* row);
    // The group index behind a SameList row.
    static std::optional<int> GroupOfRow(const QTreeWidgetItem* row);

    // The search's hand-overs, run on the window thread (see search::SearchHost).
    void RunOnWindowThread(const std::function<void()>& procedure) override;
    void PostToWindowThread(std::function<void()> procedure) override;
    void ShowMessage(const std::string& text) override;
    std::vector<std::string> SearchStarted() override;
    void StatusUpdate(const search::StatusReport& report) override;
    void PostGroupRow(int groupIndex) override;
    void PostContentMatches(int groupIndex,
                            const std::vector<search::ContentMatch>& matches) override;
    void PathSkipped(const search::SkippedPath& skipped) override;
    void SearchFinished() override;
    // Puts the group rows that a running search handed over since the last time into the list.
    // Commands that read the group list call it first.
    void FlushPendingRows();

    // True from SearchStarted to SearchFinished.
    bool IsSearching() const;

  signals:
    void SearchStateChanged(bool running);
    void SearchJobEnded();
    void Closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The results page's lists as the file operations change them (file_operations.cpp).
    friend class ResultPageRows;

    // Controls, by the names of the layout.
    QFrame* Panel1;
    QPushButton* SearchButton;
    QPushButton* StopButton;
    QPushButton* ExitButton;
    QTabWidget* PageControl;
    QWidget* TabSheet1;
    TargetsPage* m_targetsPage;
    NoDeletePage* m_noDeletePage;

    // Status bar: panel 0 draws the progress bar, panel 1 the phase, panel 2 the path.
    QStatusBar* SStatusBar;
    ProgressPanel* StatusPanel0;
    QLabel* StatusPanel1;
    QLabel* StatusPanel2;
    // After a search: what it could not look at, as a link to the list of them.
    QLabel* SkippedLabel;
    // The list of the paths that the last search could not look at; made when first opened.
    TSkippedListForm* SkippedList = nullptr;

    // Menus other than the file commands.
    QMenu* MenuFile;
    QAction* MenuOptSet;
    QAction* MenuExit;
    QMenu* MenuFind;
    QAction* MenuStart;
    QAction* MenuStop;
    QAction* MenuSkipped;
    QMenu* MenuHelp;
    QAction* MenuAbout;

    std::string IniFileName;
    std::int32_t PriorityClass = 32;
    std::int32_t CompareModeSetting = 0;
    // Which files the next search leaves out; chosen in the options dialog.
    func::SearchFilterSettings SearchFilterSetting;
    // Which copy the bulk delete keeps where the must-not-delete list protects none.
    func::KeepRule KeepRuleSetting = func::KeepRule::FirstFound;
    // The save dialog of the export of the results.
    QFileDialog* ExportDialog = nullptr;
    bool InPlaceEditing = false;

    void BuildStatusBar();
    void BuildCommandPanel();
    void BuildResultsPage();
    void BuildTargetsPage();
    void BuildNoDeletePage();
    void BuildMenus();
    void ConnectHandlers();
    void SetSearching(bool running);
    // False when the settings could not be written: the window then stays open.
    bool FormClose();
    // File operations: in-place editing, keys, double click (file_operations.cpp).
    void SetUpFileOperations();
    // Closes an open in-place editor without renaming: the window is going away.
    void DropInPlaceEdit();
    void AttachDetailMenu(bool attached);
    QTreeWidgetItem* SelectedMemberRow() const;
    QTreeWidgetItem* MemberRowOfSlot(int group, int slot) const;
    QTreeWidgetItem* GroupRowOf(int group) const;
    // A group list row for the group: its first present member's name, its count, its index.
    QTreeWidgetItem* NewGroupRow(int groupIndex) const;
    // The text of the content column for a member.
    static QString ContentText(search::ContentMatch match);
    // Fills the member list with the group's present members.
    void ShowMembersOf(int groupIndex);
    // Compares the group's members with its first present member again (name modes).
    void CompareWithFirstMember(int groupIndex);
    // Brings the content column of the member list up to date: compared with the group's first
    // present member, and unknown for a member that changed since.
    // It marks the file that the bulk delete keeps anew too (MarkKeptMembers).
    void RefreshShownContents();
    search::ResultMember* MemberOfRow(const QTreeWidgetItem* row) const;
    void SetNoDelEntries(const std::vector<std::string>& entries);

    // Window-thread side of the worker's end message and of a job's end.
    struct MessageWaiter;
    void OpenEndMessage(const QString& text, const std::shared_ptr<MessageWaiter>& waiter);
    void OnSearchEnded(const search::SearchSignal* signal);
    bool IsLive(const search::SearchSignal* signal) const;
    // Serves the worker's hand-overs, and no other input, until `done` holds.
    void ServeHandOversUntil(const std::function<bool()>& done);
    void WakeWaits();
    void FinishAllSearches();

    // The rows of the lists no longer show the result table's groups: deletes can still be
    // undone, but their members do not come back into the lists.
    void ForgetDeletedRows();
    // Shows after a search how many files and folders it could not look at.
    void ShowSkippedCount();
    // What the report window does to files: a restore there brings a member that the bulk delete
    // took back into the lists, as the window's own undo does.
    func::FileActions ReportFileActions();
    std::error_code RestoreBulkDeleted(const platform::TrashedFile& trashed);
    // After a bulk delete: records where each deleted member was (`trashedPaths`: the trash
    // entries of the deleted paths), and puts back into their slots the members whose delete
    // failed (`before`: the listed groups' members before the walk).
    void KeepTrackOfBulkDeleted(
        const std::vector<std::pair<int, std::vector<search::ResultMember>>>& before,
        std::unordered_map<std::string, std::vector<platform::TrashedFile>>& trashedPaths);

    func::FileActions m_fileActions = func::SystemFileActions();
    // The single deletes of this run of the program, last one last: what the undo puts back.
    std::vector<func::DeletedMember> m_deletedMembers;
    // The members that bulk deletes moved to the trash, by their path in the trash: what a
    // restore in the report window puts back.
    std::unordered_map<std::string, func::DeletedMember> m_bulkDeleted;
    // What the last search could not look at, in the order it met them.
    std::shared_ptr<std::vector<search::SkippedPath>> m_skipped =
        std::make_shared<std::vector<search::SkippedPath>>();
    // What LoadSettings found of the settings file; SaveSettings asks before it replaces a file
    // that could not be read.
    func::SettingsFileState m_settingsFileState = func::SettingsFileState::Missing;
    std::unique_ptr<search::ResultTable> m_results;
    // Per group whose contents the search compared (name modes): the slot of the member that its
    // members' Content was compared with.
    std::unordered_map<int, int> m_contentReference;
    search::ProgressCounters m_progress;

    // Set by SearchButtonClick until the job's SearchStarted has run: a second start is refused.
    bool m_searchStarting = false;
    std::vector<std::shared_ptr<search::SearchSignal>> m_liveSearches;
    std::vector<QEventLoop*> m_waitLoops;
    std::vector<QMessageBox*> m_endBoxes;
    // Group rows handed over during a search, not yet in SameList, and the timer that puts them
    // there.
    QList<QTreeWidgetItem*> m_pendingRows;
    QTimer* m_rowFlush = nullptr;
    // Taken by the worker at its next hand-over (see ApplyPriorityClass).
    std::optional<int> m_priorityRequest;
};

extern TMainForm* MainForm;
