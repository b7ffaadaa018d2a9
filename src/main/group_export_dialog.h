#pragma once

#include <functional>

#include "search/result_table.h"

class GroupListModel;
class QFileDialog;
class QWidget;

// The export of the listed groups: asks for a file in its save dialog (made when first used) and
// saves the groups there, in the order the list shows them, as CSV or as JSON lines as the
// dialog's filter says. A file that cannot be written is named in a message.
class GroupExportDialog {
  public:
    explicit GroupExportDialog(QWidget* parent) : m_parent(parent) {}

    // `flushPendingRows` puts the rows that a running search handed over into the list.
    void Export(const search::ResultTable& table, const GroupListModel& groups,
                const std::function<void()>& flushPendingRows);

  private:
    QWidget* m_parent;
    QFileDialog* m_dialog = nullptr;
};
