#include "dialogs/Skipped_list.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/path_text.h"
#include "dialogs/window_font.h"
#include "dialogs/window_frame.h"

namespace {

constexpr int kPathColumn = 0;
constexpr int kReasonColumn = 1;

// The rows are the records themselves: a cell's text is made when the view asks for it, so a
// list of a hundred thousand paths costs no more than the records.
class SkippedPathModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetPaths(std::shared_ptr<const TSkippedListForm::Paths> paths) {
        beginResetModel();
        m_paths = std::move(paths);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !m_paths ? 0 : static_cast<int>(m_paths->size());
    }

    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 2;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        // A long path or reason may be read in full in its tool tip.
        if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid() ||
            index.row() >= rowCount()) {
            return {};
        }
        const search::SkippedPath& skipped = (*m_paths)[static_cast<std::size_t>(index.row())];
        if (index.column() == kPathColumn) {
            return PathText(skipped.Path);
        }
        return SkipReasonText(skipped);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
            return {};
        }
        return section == kPathColumn ? QStringLiteral("場所") : QStringLiteral("理由");
    }

  private:
    std::shared_ptr<const TSkippedListForm::Paths> m_paths;
};

}  // namespace

QString SkippedCountText(const std::vector<search::SkippedPath>& paths) {
    const auto folders = std::count_if(paths.begin(), paths.end(), [](const auto& skipped) {
        return skipped.Reason == search::SkipReason::FolderUnreadable;
    });
    const auto files = static_cast<std::ptrdiff_t>(paths.size()) - folders;
    QStringList parts;
    if (files > 0) {
        parts << QStringLiteral("ファイル %1件").arg(files);
    }
    if (folders > 0) {
        parts << QStringLiteral("フォルダ %1件").arg(folders);
    }
    return QStringLiteral("調べられなかった%1").arg(parts.join(QStringLiteral("・")));
}

QString SkipReasonText(const search::SkippedPath& skipped) {
    QString text;
    switch (skipped.Reason) {
        case search::SkipReason::FolderUnreadable:
            text = QStringLiteral("フォルダを読めません");
            break;
        case search::SkipReason::EntryUnreadable:
            text = QStringLiteral("調べられません");
            break;
        case search::SkipReason::FileUnreadable:
            text = QStringLiteral("読めません");
            break;
        case search::SkipReason::FileChanged:
            text = QStringLiteral("比較中に変更されました");
            break;
    }
    if (skipped.Error) {
        text += QStringLiteral("（%1）").arg(QString::fromLocal8Bit(skipped.Error.message()));
    }
    return text;
}

TSkippedListForm::TSkippedListForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("調べられなかったファイルとフォルダ"));
    setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック")));
    auto* layout = new QVBoxLayout(this);
    CountLabel = new QLabel(this);
    CountLabel->setTextFormat(Qt::PlainText);
    PathList = new QTableView(this);
    PathList->setModel(new SkippedPathModel(PathList));
    PathList->verticalHeader()->hide();
    PathList->verticalHeader()->setDefaultSectionSize(PathList->fontMetrics().height() + 4);
    PathList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PathList->horizontalHeader()->setStretchLastSection(true);
    PathList->setColumnWidth(kPathColumn, 360);
    PathList->setWordWrap(false);
    // The name at the end of a long path stays in sight.
    PathList->setTextElideMode(Qt::ElideMiddle);
    PathList->setSelectionBehavior(QAbstractItemView::SelectRows);
    PathList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CloseButton = new QPushButton(QStringLiteral("閉じる"), this);
    CloseButton->setAutoDefault(false);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(CountLabel);
    layout->addWidget(PathList, 1);
    layout->addWidget(CloseButton, 0, Qt::AlignRight);
    SetOuterSize(*this, QSize(640, 400));
}

void TSkippedListForm::ShowPaths(std::shared_ptr<const Paths> paths) {
    CountLabel->setText(paths && !paths->empty() ? SkippedCountText(*paths) : QString());
    static_cast<SkippedPathModel*>(PathList->model())->SetPaths(std::move(paths));
}

QString TSkippedListForm::RowText(int row, int column) const {
    return PathList->model()->data(PathList->model()->index(row, column)).toString();
}
