#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

#include "search/skipped_path.h"

class QLabel;
class QPushButton;
class QTableView;

// Why a search could not look at a path, in a few words, with the system's own text where there
// is one: "読めません（Permission denied）".
QString SkipReasonText(const search::SkippedPath& skipped);

// "調べられなかったファイル 3件・フォルダ 1件": how many of `paths` are folders and how many are
// something else (files, or entries that could not be looked at to tell).
QString SkippedCountText(const std::vector<search::SkippedPath>& paths);

// The files and folders that the last search could not look at, and why. The list reads the
// records that it is given only while it is shown; a search that runs builds nothing for it.
class TSkippedListForm : public QDialog {
    Q_OBJECT

  public:
    using Paths = std::vector<search::SkippedPath>;

    explicit TSkippedListForm(QWidget* parent = nullptr);

    QLabel* CountLabel;
    QTableView* PathList;
    QPushButton* CloseButton;

    // Shows `paths`, which must not change while they are shown (nullptr: an empty list). Called
    // again after they changed.
    void ShowPaths(std::shared_ptr<const Paths> paths);
    // The texts of a row as the list shows them: the path and the reason.
    QString RowText(int row, int column) const;
};
