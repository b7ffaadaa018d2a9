// The results view: group rows, member rows, the compare-mode layout and the progress bar.

#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTreeView>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>

#include "dialogs/user_dialogs.h"
#include "dialogs/window_font.h"
#include "func/group_export.h"
#include "func/keep_rule.h"
#include "func/name_edit.h"
#include "func/single_file_operations.h"
#include "main/byte_count_text.h"
#include "main/group_list_model.h"
#include "main/main_form.h"
#include "main/member_list_model.h"
#include "main/progress_panel.h"
#include "main/results_page.h"
#include "platform/codepage.h"
#include "platform/file_stamp.h"
#include "search/first_contents.h"

namespace {

constexpr int kSizeColumn = MemberListModel::kSizeColumn;
constexpr int kContentColumn = MemberListModel::kContentColumn;
constexpr int kSizeColumnWidth = 50;
constexpr int kContentColumnWidth = 40;
// The most that comparing a group with its new first member may read on the window thread; a
// group that would need more shows its members' contents as unknown.
constexpr std::int64_t kMostBytesToCompare = 64 * 1024 * 1024;
const QString kCsvFilter = QStringLiteral("CSV ファイル (*.csv)");
const QString kJsonFilter = QStringLiteral("JSON Lines ファイル (*.jsonl)");

// The size of the regular file at `path`, as the member list shows it now.
std::optional<std::uintmax_t> CurrentSize(const std::string& path) {
    std::error_code error;
    const std::filesystem::path file(path);
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(file, error))) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        return std::nullopt;
    }
    return size;
}

}  // namespace

QString TMainForm::ShownName(const std::string& name) {
    return QString::fromStdU16String(func::ShownName(name));
}

void TMainForm::ShowResultCount() {
    // The group list's header counts its rows itself.
    ShowSurplusBytes();
}

void TMainForm::ShowSurplusBytes() {
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
    const std::optional<int> groupIndex = m_resultsPage->SelectedGroup();
    if (!groupIndex || *groupIndex >= m_results->Capacity()) {
        return;
    }
    ShowMembersOf(*groupIndex);
}

void TMainForm::ShowMembersOf(int groupIndex) {
    const search::ResultGroup& group = m_results->Group(groupIndex);
    std::vector<QString> sizes(group.Members.size());
    QLabel* sizeLabel = m_resultsPage->SizeLabel();
    for (std::size_t slot = 0; slot < group.Members.size(); ++slot) {
        const search::ResultMember& member = group.Members[slot];
        if (member.IsFree()) {
            continue;
        }
        if (const std::optional<std::uintmax_t> size = CurrentSize(member.FullPath())) {
            sizes[slot] = QString::number(*size);
            sizeLabel->setText(QStringLiteral("  ﾌｧｲﾙ ｻｲｽﾞ %1ﾊﾞｲﾄ").arg(*size));
        }
    }
    m_resultsPage->Members().Show(groupIndex, sizes);
    RefreshShownContents();
    // The window repaints after a selection; its layout pass empties the size label again in the
    // name modes.
    FormPaint();
}

void TMainForm::CompareWithFirstMember(int groupIndex) {
    std::vector<search::ResultMember>& members = m_results->Group(groupIndex).Members;
    std::vector<std::size_t> presentSlots;
    std::vector<search::FoundFile> files;
    std::int64_t bytes = 0;
    for (std::size_t slot = 0; slot < members.size(); ++slot) {
        const search::ResultMember& member = members[slot];
        if (member.IsFree()) {
            continue;
        }
        presentSlots.push_back(slot);
        files.push_back({member.FullPath(), member.Stamp.Size, member.Stamp.Identity});
        if (member.Stamp.Size == files.front().Size) {
            bytes += member.Stamp.Size;
        }
    }
    if (presentSlots.empty()) {
        return;
    }
    m_contentReference[groupIndex] = static_cast<int>(presentSlots.front());
    std::vector<search::ContentMatch> matches(files.size(), search::ContentMatch::Unknown);
    if (bytes <= kMostBytesToCompare) {
        std::atomic<std::int64_t> read{0};
        matches = search::MatchFirstContents(
            files, [] { return false; }, read);
    }
    for (std::size_t i = 0; i < presentSlots.size(); ++i) {
        members[presentSlots[i]].Content = matches[i];
    }
}

void TMainForm::MarkKeptMembers() {
    MemberListModel& shown = m_resultsPage->Members();
    if (shown.Group() < 0 || shown.Group() >= m_results->Capacity()) {
        return;
    }
    const std::vector<search::ResultMember>& members = m_results->Group(shown.Group()).Members;
    const std::vector<bool> kept = func::ChooseKeptMembers(members, KeepRuleSetting, NoDelEntries(),
                                                           platform::SystemCodePage());
    for (int row = 0; row < shown.Count(); ++row) {
        const auto slot = static_cast<std::size_t>(shown.SlotAt(row));
        shown.SetKept(row, slot < kept.size() && kept[slot]);
    }
}

void TMainForm::RefreshShownContents() {
    // Which file stays may have changed with the group as well.
    MarkKeptMembers();
    MemberListModel& shown = m_resultsPage->Members();
    const int groupIndex = shown.Group();
    if (groupIndex < 0 || groupIndex >= m_results->Capacity() || shown.Count() == 0) {
        return;
    }
    const auto reference = m_contentReference.find(groupIndex);
    if (reference == m_contentReference.end()) {
        return;  // the search did not compare this group's contents
    }
    const std::vector<search::ResultMember>& members = m_results->Group(groupIndex).Members;
    const auto first = std::find_if(members.begin(), members.end(),
                                    [](const search::ResultMember& m) { return !m.IsFree(); });
    if (first == members.end()) {
        return;
    }
    // The column compares with the first member: when that one has gone, with the one after it.
    if (first - members.begin() != reference->second) {
        CompareWithFirstMember(groupIndex);
    }
    // A member changed since the comparison, or a first member that did, is no longer known to
    // hold what the column says.
    const bool firstChanged =
        !func::IsFileAsFound(*first, platform::ReadFileStamp(first->FullPath()));
    for (int row = 0; row < shown.Count(); ++row) {
        const search::ResultMember& member = members[static_cast<std::size_t>(shown.SlotAt(row))];
        const bool changed =
            firstChanged ||
            !func::IsFileAsFound(member, platform::ReadFileStamp(member.FullPath()));
        shown.SetContentText(row,
                             ContentText(changed ? search::ContentMatch::Unknown : member.Content));
    }
}

QString TMainForm::ContentText(search::ContentMatch match) {
    switch (match) {
        case search::ContentMatch::Same:
            return QStringLiteral("同一");
        case search::ContentMatch::Different:
            return QStringLiteral("相違");
        case search::ContentMatch::Unknown:
            break;
    }
    return {};
}

void TMainForm::paintEvent(QPaintEvent* event) {
    FormPaint();
    QMainWindow::paintEvent(event);
}

void TMainForm::FormPaint() {
    QLabel* sizeLabel = m_resultsPage->SizeLabel();
    m_resultsPage->ShowCompareMode(CompareModeSetting);
    if (CompareModeSetting == 0) {
        sizeLabel->setFixedHeight(std::max(12, TextLineHeight(sizeLabel->font())));
        sizeLabel->show();
        DetailListCustomDraw();
    } else {
        sizeLabel->clear();
        sizeLabel->setFixedHeight(0);
        sizeLabel->hide();
        m_resultsPage->MemberView()->setColumnWidth(kSizeColumn, kSizeColumnWidth);
        m_resultsPage->MemberView()->setColumnWidth(kContentColumn, kContentColumnWidth);
    }
}

void TMainForm::DetailListCustomDraw() {
    // In the content mode every member has the group's size, shown once above the list, and the
    // group's bytes: a size or content column that the user dragged open closes again.
    QTreeView* members = m_resultsPage->MemberView();
    for (const int column : {kSizeColumn, kContentColumn}) {
        if (CompareModeSetting == 0 && members->columnWidth(column) != 0) {
            members->setColumnWidth(column, 0);
        }
    }
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

void TMainForm::ExportClick() {
    FlushPendingRows();
    if (m_resultsPage->Groups().Count() == 0) {
        return;
    }
    if (ExportDialog == nullptr) {
        ExportDialog = new QFileDialog(this, QStringLiteral("検索結果の書き出し"));
        ExportDialog->setAcceptMode(QFileDialog::AcceptSave);
        ExportDialog->setFileMode(QFileDialog::AnyFile);
        ExportDialog->setNameFilters({kCsvFilter, kJsonFilter});
        ExportDialog->setDefaultSuffix(QStringLiteral("csv"));
        connect(ExportDialog, &QFileDialog::filterSelected, ExportDialog,
                [dialog = ExportDialog](const QString& filter) {
                    dialog->setDefaultSuffix(filter == kJsonFilter ? QStringLiteral("jsonl")
                                                                   : QStringLiteral("csv"));
                });
    }
    if (UserDialogs::Exec(*ExportDialog) != QDialog::Accepted) {
        return;
    }
    const QStringList chosen = ExportDialog->selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) {
        return;
    }
    // The groups in the order the list shows them; the dialog's event loop may have changed it.
    FlushPendingRows();
    const GroupListModel& listed = m_resultsPage->Groups();
    std::vector<const search::ResultGroup*> groups;
    for (int row = 0; row < listed.Count(); ++row) {
        groups.push_back(&m_results->Group(listed.GroupAt(row)));
    }
    const func::ExportFormat format = ExportDialog->selectedNameFilter() == kJsonFilter
                                          ? func::ExportFormat::JsonLines
                                          : func::ExportFormat::Csv;
    const std::string path = QFile::encodeName(chosen.front()).toStdString();
    if (const std::error_code error = func::SaveGroupExport(path, groups, format)) {
        UserDialogs::Show(this, QMessageBox::Warning,
                          QStringLiteral("%1 に書き込めません（%2）")
                              .arg(chosen.front(), QString::fromLocal8Bit(error.message())));
    }
}
