// The results as the window shows them around the results page: the surplus bytes in the status
// bar, the compare-mode layout and the progress bar.

#include <QFile>
#include <QLabel>
#include <QPainter>
#include <algorithm>
#include <cstdint>

#include "main/byte_count_text.h"
#include "main/group_list_model.h"
#include "main/main_form.h"
#include "main/progress_panel.h"
#include "main/results_page.h"

void TMainForm::ShowResultCount() {
    // The group list's header counts its rows itself.
    ShowSurplusBytes();
}

void TMainForm::ShowSurplusBytes() {
    // In the name modes the copies of a group need not hold the same bytes.
    const bool shown = CompareModeSetting == 0 && m_resultsPage->Groups().Count() > 0;
    SurplusLabel->setText(shown ? QStringLiteral("余分なコピー %1 バイト")
                                      .arg(ByteCountText(m_resultsPage->Groups().SurplusBytes()))
                                : QString());
    SurplusLabel->setVisible(shown);
}

void TMainForm::SameListColumnClick(int column) {
    // Rows added later go to the end.
    FlushPendingRows();
    m_resultsPage->SortGroupsBy(column);
}

void TMainForm::SameListSelectItem() {
    m_resultsPage->ShowSelectedGroup();
}

void TMainForm::MarkKeptMembers() {
    m_resultsPage->Shown().MarkKeptMembers();
}

void TMainForm::paintEvent(QPaintEvent* event) {
    FormPaint();
    QMainWindow::paintEvent(event);
}

void TMainForm::FormPaint() {
    // The window repaints after a selection; its layout pass empties the size label again in the
    // name modes.
    m_resultsPage->ShowCompareMode(CompareModeSetting);
}

void TMainForm::DetailListCustomDraw() {
    m_resultsPage->KeepMemberColumnsOf(CompareModeSetting);
}

void TMainForm::ShowWalkedPath(const std::string& path) {
    StatusPanel2->setText(QFile::decodeName(QByteArray::fromStdString(path)));
    if (path.empty()) {
        StatusPanel0->update();
        return;
    }
    // The walk holds the window thread: paint what changed without taking other events.
    StatusPanel0->repaint();
    StatusPanel2->repaint();
}

void TMainForm::SStatusBarDrawPanel(QPainter& painter, const QRect& rect) {
    painter.fillRect(rect, palette().color(QPalette::Button));
    const std::int32_t position = m_progress.Position.load(std::memory_order_relaxed);
    const std::int32_t total = m_progress.Total.load(std::memory_order_relaxed);
    if (position == 0 || total == 0) {
        return;
    }
    // Computed in 64 bits so that a large count cannot overflow; never wider than the panel.
    const std::int64_t right = std::min<std::int64_t>(
        static_cast<std::int64_t>(rect.width()) * position / total, rect.right() + 1);
    if (right <= rect.left() + 1) {
        return;
    }
    painter.fillRect(QRect(QPoint(rect.left() + 1, rect.top() + 1),
                           QPoint(static_cast<int>(right) - 1, rect.bottom())),
                     QColor(0, 0, 255));
}
