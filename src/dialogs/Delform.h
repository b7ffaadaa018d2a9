#pragma once

#include <QMainWindow>
#include <string>
#include <vector>

#include "func/deletion_report.h"

class QAction;
class QFileDialog;
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
    QMenu* File1;
    QAction* ListSave;
    QAction* N1;
    QAction* ProgressExit;
    QFileDialog* SaveDialog;

    // Appends one row: the path as the bulk delete passed it, and the text of `status`.
    void AddReportRow(const std::string& path, func::ReportStatus status);
    // The rows, with their paths as bytes.
    const std::vector<func::ReportRow>& Rows() const { return m_rows; }

    void FormShow();
    void ListSaveClick();
    void ProgressExitClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    std::vector<func::ReportRow> m_rows;
};

extern TDelListForm* DelListForm;
