#pragma once

#include <QStringList>
#include <QTreeWidgetItem>
#include <utility>
#include <vector>

class QAbstractItemModel;
class QTreeView;
class QTreeWidget;
class QWidget;

// A row of a report-style list that sorts by the locale's collation of its text.
class CollatedItem : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem& other) const override;
};

struct ReportColumn {
    QString Caption;
    int Width = 0;  // 0: a hidden column that only carries a key
};

// A list view in report style with grid lines: one row selectable at a time, the selection shown
// also without the focus, no tree decoration.
QTreeWidget* NewReportList(QWidget* parent, const std::vector<ReportColumn>& columns);

// The same look for a list over a model; `widths` by column, 0 for a hidden column.
QTreeView* NewReportView(QWidget* parent, QAbstractItemModel* model,
                         const std::vector<int>& widths);
