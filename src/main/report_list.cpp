#include "main/report_list.h"

#include <QCollator>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>

#include "dialogs/window_font.h"

namespace {

// Draws the grid lines on the right and the bottom of every cell.
class GridDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }

    // One height for every row, from the font rather than from a row's text: tall enough for
    // descenders and for the Japanese glyphs that a fallback font draws, plus the grid line.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), TextLineHeight(option.font) + 3));
        return size;
    }
};

const QCollator& Collator() {
    static const QCollator collator;
    return collator;
}

// The look that every report-style list shares.
void SetUpReportList(QTreeView* list) {
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setItemDelegate(new GridDelegate(list));
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
}

void SetColumnWidths(QTreeView* list, const std::vector<int>& widths) {
    for (int i = 0; i < static_cast<int>(widths.size()); ++i) {
        if (widths[static_cast<std::size_t>(i)] == 0) {
            list->setColumnHidden(i, true);
        } else {
            list->setColumnWidth(i, widths[static_cast<std::size_t>(i)]);
        }
    }
}

}  // namespace

bool CollatedItem::operator<(const QTreeWidgetItem& other) const {
    const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : 0;
    return Collator().compare(text(column), other.text(column)) < 0;
}

QTreeWidget* NewReportList(QWidget* parent, const std::vector<ReportColumn>& columns) {
    auto* list = new QTreeWidget(parent);
    SetUpReportList(list);
    QStringList captions;
    std::vector<int> widths;
    for (const ReportColumn& column : columns) {
        captions << column.Caption;
        widths.push_back(column.Width);
    }
    list->setHeaderLabels(captions);
    SetColumnWidths(list, widths);
    return list;
}

QTreeView* NewReportView(QWidget* parent, QAbstractItemModel* model,
                         const std::vector<int>& widths) {
    auto* list = new QTreeView(parent);
    SetUpReportList(list);
    list->setModel(model);
    SetColumnWidths(list, widths);
    return list;
}
