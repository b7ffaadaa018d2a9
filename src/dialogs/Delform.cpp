#include "dialogs/Delform.h"

#include <QAction>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QTableWidget>
#include <algorithm>

#include "dialogs/path_text.h"
#include "dialogs/single_press_shortcut.h"
#include "dialogs/user_dialogs.h"
#include "dialogs/window_font.h"
#include "dialogs/window_frame.h"
#include "platform/trash.h"

TDelListForm* DelListForm = nullptr;

namespace {

constexpr int kOuterWidth = 640;
constexpr int kOuterHeight = 480;

QTableWidget* NewProgressList(QWidget* parent) {
    auto* list = new QTableWidget(0, 2, parent);
    list->setHorizontalHeaderLabels({QStringLiteral("対象ファイル"), QStringLiteral("状況")});
    list->setColumnWidth(0, 400);
    list->setColumnWidth(1, 150);
    list->horizontalHeader()->setStretchLastSection(false);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->setShowGrid(true);
    list->setWordWrap(false);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows may be chosen for a restore.
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

QTableWidgetItem* NewCell(const QString& text) {
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return cell;
}

}  // namespace

TDelListForm::TDelListForm(QWidget* parent) : QMainWindow(parent) {
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("一括削除状態表示"));
    setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック")));

    File1 = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    ListSave = File1->addAction(QStringLiteral("保存"));
    ListRestore = File1->addAction(QStringLiteral("元に戻す"));
    ListRestore->setShortcut(QKeySequence::Undo);
    // A held key restores once, not once per repeat.
    ListRestore->setAutoRepeat(false);
    new SinglePressShortcut(ListRestore);
    ListRestore->setEnabled(false);
    N1 = File1->addSeparator();
    ProgressExit = File1->addAction(QStringLiteral("終了"));

    ProgressList = NewProgressList(this);
    setCentralWidget(ProgressList);
    StatusBar = statusBar();
    SummaryLabel = new QLabel(StatusBar);
    SummaryLabel->setTextFormat(Qt::PlainText);
    SummaryLabel->hide();
    StatusBar->addWidget(SummaryLabel, 1);

    SaveDialog = new QFileDialog(this, QStringLiteral("削除結果の保存"));
    SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog->setFileMode(QFileDialog::AnyFile);
    SaveDialog->setOption(QFileDialog::DontConfirmOverwrite);

    connect(ListSave, &QAction::triggered, this, &TDelListForm::ListSaveClick);
    connect(ListRestore, &QAction::triggered, this, &TDelListForm::ListRestoreClick);
    connect(ProgressExit, &QAction::triggered, this, &TDelListForm::ProgressExitClick);

    SetOuterSize(*this, QSize(kOuterWidth, kOuterHeight));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(kOuterWidth / 2, kOuterHeight / 2));
    }
}

void TDelListForm::AddReportRow(const std::string& path, func::ReportStatus status,
                                const platform::TrashedFile& trashed) {
    m_rows.push_back({path, status, trashed});
    m_restoreErrors.emplace_back();
    const int row = ProgressList->rowCount();
    ProgressList->insertRow(row);
    ProgressList->setItem(row, 0, NewCell(PathText(path)));
    ShowStatus(row);
    if (status == func::ReportStatus::Deleted) {
        ListRestore->setEnabled(true);
    }
}

QString TDelListForm::StatusText(int row) const {
    const auto index = static_cast<std::size_t>(row);
    const std::string_view text = func::ReportStatusText(m_rows[index].Status);
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (m_rows[index].Status == func::ReportStatus::RestoreFailed && m_restoreErrors[index]) {
        shown += QStringLiteral("（%1）").arg(RestoreFailureReason(m_restoreErrors[index]));
    }
    return shown;
}

void TDelListForm::ShowStatus(int row) {
    const QString text = StatusText(row);
    ProgressList->setItem(row, 1, NewCell(text));
    // A failed restore says why: the column grows to show it whole.
    const int needed = ProgressList->fontMetrics().horizontalAdvance(text) + 12;
    if (needed > ProgressList->columnWidth(1)) {
        ProgressList->setColumnWidth(1, needed);
    }
}

void TDelListForm::UpdateRestoreCommand() {
    ListRestore->setEnabled(std::any_of(m_rows.begin(), m_rows.end(), [](const auto& row) {
        return row.Status == func::ReportStatus::Deleted ||
               row.Status == func::ReportStatus::RestoreFailed;
    }));
}

void TDelListForm::ListRestoreClick() {
    std::vector<int> chosen;
    for (const QModelIndex& index : ProgressList->selectionModel()->selectedRows()) {
        chosen.push_back(index.row());
    }
    std::sort(chosen.begin(), chosen.end());
    // Each row that changes is one restore, in row order: the errors follow the rows.
    std::vector<std::error_code> errors;
    func::FileActions actions = m_fileActions;
    actions.RestoreFromTrash = [this, &errors](const platform::TrashedFile& trashed) {
        errors.push_back(m_fileActions.RestoreFromTrash(trashed));
        return errors.back();
    };
    const std::vector<int> changed = func::RestoreReportRows(m_rows, chosen, actions);
    for (std::size_t i = 0; i < changed.size(); ++i) {
        const auto row = static_cast<std::size_t>(changed[i]);
        m_restoreErrors[row] = i < errors.size() ? errors[i] : std::error_code();
        ShowStatus(changed[i]);
    }
    UpdateRestoreCommand();
}

void TDelListForm::showEvent(QShowEvent* event) {
    // Only a window that goes from hidden to visible starts a new list; coming back from the
    // task bar keeps the rows.
    if (!event->spontaneous()) {
        FormShow();
    }
    QMainWindow::showEvent(event);
}

void TDelListForm::ShowSummary(const QString& text) {
    SummaryLabel->setText(text);
    SummaryLabel->setVisible(!text.isEmpty());
}

void TDelListForm::FormShow() {
    ShowSummary({});
    m_rows.clear();
    m_restoreErrors.clear();
    ProgressList->setRowCount(0);
    ListRestore->setEnabled(false);
}

void TDelListForm::ListSaveClick() {
    if (UserDialogs::Exec(*SaveDialog) != QDialog::Accepted) {
        return;
    }
    const QStringList chosen = SaveDialog->selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) {
        return;
    }
    const std::string path = PathBytes(chosen.front());
    if (func::SaveDeletionReport(path, m_rows)) {
        UserDialogs::Show(this, QMessageBox::Warning, QStringLiteral("ファイルが開けません"));
    }
}

void TDelListForm::ProgressExitClick() {
    close();
}

QString RestoreFailureReason(const std::error_code& error) {
    if (error == std::errc::file_exists) {
        return QStringLiteral("同じ名前のファイルがあります");
    }
    if (error == platform::TrashErrc::NotInTrash) {
        return QStringLiteral("ごみ箱にありません");
    }
    return QString::fromLocal8Bit(error.message());
}
