#pragma once

#include <QMainWindow>
#include <QString>
#include <string>
#include <system_error>
#include <vector>

#include "func/deletion_report.h"
#include "func/file_actions.h"

class QAction;
class QFileDialog;
class QLabel;
class QMenu;
class QStatusBar;
class QTableWidget;

// The deletion report window: what a bulk delete did with each path, which the user may save as
// a text file. Closing it only hides it; its rows stay until it is shown again.
class TDelListForm : public QMainWindow {
    Q_OBJECT

  public:
    explicit TDelListForm(QWidget* parent = nullptr);

    QTableWidget* ProgressList;
    QStatusBar* StatusBar;
    // What a preview found in all: how many files would go and how many bytes that frees.
    QLabel* SummaryLabel;
    QMenu* File1;
    QAction* ListSave;
    QAction* ListRestore;
    QAction* N1;
    QAction* ProgressExit;
    QFileDialog* SaveDialog;

    // Appends one row: the path as the bulk delete passed it, the text of `status`, and for a
    // deleted file where it went in the trash.
    void AddReportRow(const std::string& path, func::ReportStatus status,
                      const platform::TrashedFile& trashed = {});
    // Shows `text` at the foot of the window; empty hides it.
    void ShowSummary(const QString& text);
    // What puts a deleted file back; the real trash unless a test says otherwise.
    void SetFileActions(func::FileActions actions) { m_fileActions = std::move(actions); }
    // The rows, with their paths as bytes.
    const std::vector<func::ReportRow>& Rows() const { return m_rows; }
    // The text of a row's 状況 column: the status, and why a restore failed.
    QString StatusText(int row) const;

    void FormShow();
    void ListSaveClick();
    // Puts the files of the selected rows back from the trash, or of every deleted row when none
    // is selected.
    void ListRestoreClick();
    void ProgressExitClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ShowStatus(int row);
    // 元に戻す is there while a row has a file in the trash.
    void UpdateRestoreCommand();

    std::vector<func::ReportRow> m_rows;
    // Per row, why its last restore failed.
    std::vector<std::error_code> m_restoreErrors;
    func::FileActions m_fileActions = func::SystemFileActions();
};

// Why a file could not be put back from the trash, in a few words: "同じ名前のファイルがあります",
// "ごみ箱にありません", or the system's own text.
QString RestoreFailureReason(const std::error_code& error);

extern TDelListForm* DelListForm;
