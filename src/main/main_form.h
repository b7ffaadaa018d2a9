#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "func/file_actions.h"
#include "func/keep_rule.h"
#include "func/settings.h"
#include "main/window_options.h"
#include "search/progress.h"
#include "search/result_table.h"
#include "search/search.h"
#include "search/search_host.h"

class NoDeletePage;
class MainStatusBar;
class TargetsPage;
class TSkippedListForm;
class QAction;
class QFrame;
class QMenu;
class QPushButton;
class QTabWidget;
class QTimer;
class QTreeWidgetItem;
class FileOperationsController;
class ResultsPage;
class SearchJobs;

// The main window: the search targets, the results, the must-not-delete list, the search
// commands and the status bar. It hosts the search job: the job's hand-overs run here on the
// window thread; the worker waits for the start and the end, not for status reports and rows.
class TMainForm : public QMainWindow, public search::SearchHost {
    Q_OBJECT

  public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The search started last; only its SearchSignal outlives the job.
    std::shared_ptr<search::SearchSignal> SearchJob;

    // What the options dialog chose; SetOptions takes effect with the next search (the lists
    // show a new compare mode after FormPaint).
    WindowOptions Options() const;
    void SetOptions(const WindowOptions& options);
    // The settings file that the window read and writes back when it closes.
    const std::string& IniFile() const { return IniFileName; }

    search::ResultTable& Results() { return *m_results; }
    // The results page: its lists, their models and their selection.
    ResultsPage& ResultsTab() { return *m_resultsPage; }
    // The commands on the results' files.
    FileOperationsController& FileOperations() { return *m_fileOperations; }
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

    // Puts the file of the last single delete not undone yet back, with its rows.
    void MenuUndoClick();
    // Replaces what the window does to files (the real file system by default).
    void SetFileActions(func::FileActions actions);
    // In-place rename of a member row: the editor opens, is accepted with `text` (which the row
    // shows afterwards; a failed rename puts the old name back into it), or is closed.
    void DetailListEditing();
    void DetailListEdited(int slot, QString& text);
    void EndInPlaceEdit();
    void DetailListKeyDown(int key);

    // Results view.
    void ShowResultCount();
    // Sorts the group list by the column; a second click on the same column reverses the order.
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

    // Records the priority class for the search's worker thread, which takes it at its next
    // hand-over (SearchJobs::ApplyPriorityClass).
    void ApplyPriorityClass(int priorityClass);

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
    // Controls, by the names of the layout.
    QFrame* Panel1;
    QPushButton* SearchButton;
    QPushButton* StopButton;
    QPushButton* ExitButton;
    QTabWidget* PageControl;
    QWidget* TabSheet1;
    TargetsPage* m_targetsPage;
    NoDeletePage* m_noDeletePage;

    MainStatusBar* m_statusBar;
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

    void BuildStatusBar();
    void BuildCommandPanel();
    void BuildResultsPage();
    void ConnectResultsPage();
    // Shows in the status bar what the surplus copies of the listed groups take.
    void ShowSurplusBytes();
    void BuildTargetsPage();
    void BuildNoDeletePage();
    void BuildMenus();
    void ConnectHandlers();
    void SetSearching(bool running);
    // False when the settings could not be written: the window then stays open.
    bool FormClose();
    void SetNoDelEntries(const std::vector<std::string>& entries);

    // A job's end, on the window thread.
    void OnSearchEnded(const search::SearchSignal* signal);
    // Stops the running search and waits until every search has ended.
    void FinishAllSearches();

    // The rows of the lists no longer show the result table's groups: deletes can still be
    // undone, but their members do not come back into the lists.
    void ForgetDeletedRows();
    // Shows after a search how many files and folders it could not look at.
    void ShowSkippedCount();

    // What the last search could not look at, in the order it met them.
    std::shared_ptr<std::vector<search::SkippedPath>> m_skipped =
        std::make_shared<std::vector<search::SkippedPath>>();
    // What LoadSettings found of the settings file; SaveSettings asks before it replaces a file
    // that could not be read.
    func::SettingsFileState m_settingsFileState = func::SettingsFileState::Missing;
    std::unique_ptr<search::ResultTable> m_results;
    search::ProgressCounters m_progress;

    // Set by SearchButtonClick until the job's SearchStarted has run: a second start is refused.
    bool m_searchStarting = false;
    SearchJobs* m_jobs;
    ResultsPage* m_resultsPage = nullptr;
    FileOperationsController* m_fileOperations = nullptr;
    // The file menu's commands on the results, and its delete of a search target.
    QAction* MenuOpen;
    QAction* MenuRename;
    QAction* MenuMove;
    QAction* MenuDel;
    QAction* MenuUndo;
    QAction* MenuPreview;
    QAction* MenuExport;
    // Groups handed over during a search, not yet in the group list, and the timer that puts them
    // there.
    std::vector<int> m_pendingGroups;
    QTimer* m_rowFlush = nullptr;
};

extern TMainForm* MainForm;
