#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

#include "func/file_actions.h"
#include "func/keep_rule.h"
#include "func/single_file_operations.h"
#include "main/group_export_dialog.h"
#include "search/progress.h"
#include "search/result_table.h"

class QWidget;
class ResultsPage;

// What the file operations need of the window around the results page.
struct FileOperationsWindow {
    // The parent of the messages and dialogs.
    QWidget* Window = nullptr;
    std::function<std::vector<std::string>()> NoDelEntries;
    // The must-not-delete entry that protects the file at a path (bytes); none when it may go.
    std::function<std::optional<std::string>(const std::string& path)> ProtectingEntry;
    std::function<func::KeepRule()> KeepRule;
    // Puts the group rows that a running search handed over into the group list.
    std::function<void()> FlushPendingRows;
    // True while a search runs or is being started.
    std::function<bool()> IsSearching;
    // The path that the bulk delete walks, painted at once; empty when it is over.
    std::function<void(const std::string& path)> ShowWalkedPath;
};

// The commands on the files of the results page: open, rename (dialog and in place), move,
// delete and its undo, properties, the bulk delete and its preview, and the export of the list.
// Each acts on the selected member (or on the listed groups), on the file system first, and then
// brings the result table and the page's lists up to date. Every path comes from the bytes of the
// result slot behind a row, never from the row's text.
//
// A search may still run: the worker only writes groups that it has not handed over yet, and
// every row belongs to a group that was handed over, so the commands never meet the worker.
class FileOperationsController : public QObject {
    Q_OBJECT

  public:
    FileOperationsController(search::ResultTable& table, ResultsPage& page,
                             search::ProgressCounters& progress, FileOperationsWindow window,
                             QObject* parent = nullptr);

    void Open();
    void Rename();
    void Move();
    void Delete();
    void ShowProperties();
    // Puts the file of the last single delete not undone yet back, with its rows.
    void Undo();
    void BulkDelete();
    // Shows in the report window what the bulk delete would do, deleting nothing.
    void PreviewBulkDelete();
    // Saves the listed groups as CSV or as JSON lines, as the export dialog's filter says.
    void Export();

    // In-place rename of a member row: the editor has opened; it was accepted with `text`, which
    // the row shows afterwards (a failed rename puts the old name back into it); it has closed.
    void EditStarted();
    void NameEdited(int slot, QString& text);
    void EditEnded();
    bool IsEditing() const { return m_editing; }

    // Replaces what the commands do to files (the real file system by default).
    void SetFileActions(func::FileActions actions);
    // The lists no longer show the result table's groups: deletes can still be undone, but their
    // members do not come back into the lists.
    void ForgetDeletedRows();

  signals:
    void UndoAvailable(bool available);

  private:
    class PageRows;

    // Deletes the member's file, provided it is still the file that the search found.
    std::error_code DeleteMemberFile(int group, int slot);
    // Moves the member's file into `folder` (bytes) and brings its row and slot up to date.
    void MoveMemberFile(int group, int slot, const std::string& folder);
    // Renames the member's file: 0 when its row may show `newName`, 1 when the rename failed (the
    // message has been shown). Never replaces an existing file.
    int RenameMemberFile(int group, int slot, const QString& newName);
    // Moves one file to the trash through the file actions. The single and the bulk delete both
    // use it.
    platform::TrashResult DeletePath(const std::string& path);
    // For a file that the must-not-delete list protects: asks whether to `action` it anyway
    // (default No), naming the entry that protects it. True when the file is not protected or
    // the user said Yes.
    bool MayChangeProtected(const std::string& path, const QString& action);
    // The full path of the member's file; empty for a free or unknown slot.
    std::string FullPathOf(int group, int slot) const;
    // Hands a file to the desktop's associated program.
    static void OpenWithAssociatedProgram(const std::string& path);
    // The text that a member row shows for a file name's bytes.
    static QString ShownName(const std::string& name);

    std::optional<std::pair<int, int>> SelectedMember() const;
    // Whether the member list still shows the member.
    bool ShowsMember(int group, int slot) const;
    // The lists after a change of the members: the kept member and the content column.
    void MembersChanged();
    // What the report window does to files: a restore there brings a member that the bulk delete
    // took back into the lists, as the undo does.
    func::FileActions ReportFileActions();
    std::error_code RestoreBulkDeleted(const platform::TrashedFile& trashed);
    // After a bulk delete: records where each deleted member was (`trashedPaths`: the trash
    // entries of the deleted paths), and puts back into their slots the members whose delete
    // failed (`before`: the listed groups' members before the walk).
    void KeepTrackOfBulkDeleted(
        const std::vector<std::pair<int, std::vector<search::ResultMember>>>& before,
        std::unordered_map<std::string, std::vector<platform::TrashedFile>>& trashedPaths);

    search::ResultTable& m_table;
    ResultsPage& m_page;
    search::ProgressCounters& m_progress;
    FileOperationsWindow m_window;
    func::FileActions m_fileActions = func::SystemFileActions();
    // The single deletes of this run of the program, last one last: what the undo puts back.
    std::vector<func::DeletedMember> m_deletedMembers;
    // The members that bulk deletes moved to the trash, by their path in the trash: what a
    // restore in the report window puts back.
    std::unordered_map<std::string, func::DeletedMember> m_bulkDeleted;
    GroupExportDialog m_export;
    bool m_editing = false;
};
