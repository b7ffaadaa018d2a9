// The results view: group rows, member rows, the compare-mode layout and the progress bar.

#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTreeWidget>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "dialogs/user_dialogs.h"
#include "dialogs/window_font.h"
#include "func/group_export.h"
#include "func/keep_rule.h"
#include "func/name_edit.h"
#include "func/single_file_operations.h"
#include "main/main_form.h"
#include "main/progress_panel.h"
#include "main/report_list.h"
#include "platform/codepage.h"
#include "platform/file_stamp.h"
#include "search/first_contents.h"

namespace {

constexpr int kGroupKeyColumn = 2;
constexpr int kSizeColumn = 3;
constexpr int kSlotKeyColumn = 5;
constexpr int kSizeColumnWidth = 50;
constexpr int kContentColumnWidth = 40;
// The most that comparing a group with its new first member may read on the window thread; a
// group that would need more shows its members' contents as unknown.
constexpr std::int64_t kMostBytesToCompare = 64 * 1024 * 1024;
// The ground of the member rows that the bulk delete would keep.
const QColor kKeptGround(0xD8, 0xF0, 0xD8);
const QString kCsvFilter = QStringLiteral("CSV ファイル (*.csv)");
const QString kJsonFilter = QStringLiteral("JSON Lines ファイル (*.jsonl)");

// The decimal number at the start of `text` (leading blanks skipped, the rest ignored).
std::optional<long> LeadingNumber(const QByteArray& text, const char** end) {
    const char* start = text.constData();
    char* stop = nullptr;
    errno = 0;
    const long value = std::strtol(start, &stop, 10);
    if (stop == start || errno == ERANGE) {
        return std::nullopt;
    }
    *end = stop;
    return value;
}

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

std::optional<int> TMainForm::GroupOfRow(const QTreeWidgetItem* row) {
    if (row == nullptr) {
        return std::nullopt;
    }
    const QByteArray key = row->text(kGroupKeyColumn).toLatin1();
    const char* end = nullptr;
    const std::optional<long> group = LeadingNumber(key, &end);
    if (!group || *group < 0 || *group > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(*group);
}

std::optional<std::pair<int, int>> TMainForm::SlotOfRow(const QTreeWidgetItem* row) {
    if (row == nullptr) {
        return std::nullopt;
    }
    const QByteArray key = row->text(kSlotKeyColumn).toLatin1();
    const char* end = nullptr;
    const std::optional<long> group = LeadingNumber(key, &end);
    if (!group || *end != ',') {
        return std::nullopt;
    }
    const QByteArray rest(end + 1);
    const std::optional<long> slot = LeadingNumber(rest, &end);
    if (!slot || *group < 0 || *slot < 0 || *group > INT32_MAX || *slot > INT32_MAX) {
        return std::nullopt;
    }
    return std::pair{static_cast<int>(*group), static_cast<int>(*slot)};
}

void TMainForm::ShowResultCount() {
    const int count = SameList->topLevelItemCount();
    SameList->headerItem()->setText(
        0, count > 0 ? QStringLiteral("検索結果 %1件").arg(count) : QStringLiteral("検索結果"));
}

void TMainForm::SameListColumnClick(int column) {
    // Ascending on every click; rows added later go to the end.
    if (column == 0) {
        FlushPendingRows();
        SameList->sortItems(0, Qt::AscendingOrder);
    }
}

void TMainForm::SameListSelectItem() {
    const QList<QTreeWidgetItem*> selected = SameList->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const std::optional<int> groupIndex = GroupOfRow(selected.front());
    if (!groupIndex || *groupIndex >= m_results->Capacity()) {
        return;
    }
    ShowMembersOf(*groupIndex);
}

QTreeWidgetItem* TMainForm::NewGroupRow(int groupIndex) const {
    const search::ResultGroup& group = m_results->Group(groupIndex);
    const auto first = std::find_if(group.Members.begin(), group.Members.end(),
                                    [](const search::ResultMember& m) { return !m.IsFree(); });
    auto* row = new QTreeWidgetItem;
    if (first != group.Members.end()) {
        row->setText(0, QFile::decodeName(first->Name.c_str()));
    }
    row->setText(1, QString::number(group.MemberCount));
    row->setText(kGroupKeyColumn, QString::number(groupIndex));
    return row;
}

void TMainForm::ShowMembersOf(int groupIndex) {
    DetailList->clear();
    const search::ResultGroup& group = m_results->Group(groupIndex);
    for (int slot = 0; slot < static_cast<int>(group.Members.size()); ++slot) {
        const search::ResultMember& member = group.Members[static_cast<std::size_t>(slot)];
        if (member.IsFree()) {
            continue;
        }
        auto* row = new CollatedItem;
        row->setText(0, ShownName(member.Name));
        row->setText(1, QFile::decodeName(member.Folder.c_str()));
        row->setText(2, QString::fromStdString(member.Date));
        row->setTextAlignment(kSizeColumn, Qt::AlignRight | Qt::AlignVCenter);
        if (const std::optional<std::uintmax_t> size = CurrentSize(member.FullPath())) {
            row->setText(kSizeColumn, QString::number(*size));
            FileSizeView->setText(QStringLiteral("  ﾌｧｲﾙ ｻｲｽﾞ %1ﾊﾞｲﾄ").arg(*size));
        }
        row->setText(kSlotKeyColumn, QStringLiteral("%1,%2").arg(groupIndex).arg(slot));
        row->setFlags(row->flags() | Qt::ItemIsEditable);
        DetailList->addTopLevelItem(row);
    }
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
    const std::optional<std::pair<int, int>> shown =
        DetailList->topLevelItemCount() > 0 ? SlotOfRow(DetailList->topLevelItem(0)) : std::nullopt;
    if (!shown || shown->first >= m_results->Capacity()) {
        return;
    }
    const std::vector<search::ResultMember>& members = m_results->Group(shown->first).Members;
    const std::vector<bool> kept = func::ChooseKeptMembers(members, KeepRuleSetting, NoDelEntries(),
                                                           platform::SystemCodePage());
    for (int i = 0; i < DetailList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = DetailList->topLevelItem(i);
        const std::optional<std::pair<int, int>> slot = SlotOfRow(row);
        const bool keeps = slot && slot->second < static_cast<int>(kept.size()) &&
                           kept[static_cast<std::size_t>(slot->second)];
        for (int column = 0; column < DetailList->columnCount(); ++column) {
            QFont font = row->font(column);
            font.setBold(keeps);
            row->setFont(column, font);
            row->setBackground(column, keeps ? QBrush(kKeptGround) : QBrush());
            row->setToolTip(column,
                            keeps ? QStringLiteral("まとめて削除で残るファイル") : QString());
        }
    }
}

void TMainForm::RefreshShownContents() {
    // Which file stays may have changed with the group as well.
    MarkKeptMembers();
    const std::optional<std::pair<int, int>> shown =
        DetailList->topLevelItemCount() > 0 ? SlotOfRow(DetailList->topLevelItem(0)) : std::nullopt;
    if (!shown || shown->first >= m_results->Capacity()) {
        return;
    }
    const int groupIndex = shown->first;
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
    for (int i = 0; i < DetailList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = DetailList->topLevelItem(i);
        const search::ResultMember* member = MemberOfRow(row);
        if (member == nullptr) {
            continue;
        }
        const bool changed =
            firstChanged ||
            !func::IsFileAsFound(*member, platform::ReadFileStamp(member->FullPath()));
        row->setText(kContentColumn,
                     ContentText(changed ? search::ContentMatch::Unknown : member->Content));
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
    if (CompareModeSetting == 0) {
        FileSizeView->setFixedHeight(std::max(12, TextLineHeight(FileSizeView->font())));
        FileSizeView->show();
        DetailListCustomDraw();
    } else {
        FileSizeView->clear();
        FileSizeView->setFixedHeight(0);
        FileSizeView->hide();
        DetailList->setColumnWidth(kSizeColumn, kSizeColumnWidth);
        DetailList->setColumnWidth(kContentColumn, kContentColumnWidth);
    }
}

void TMainForm::DetailListCustomDraw() {
    // In the content mode every member has the group's size, shown once above the list, and the
    // group's bytes: a size or content column that the user dragged open closes again.
    for (const int column : {kSizeColumn, kContentColumn}) {
        if (CompareModeSetting == 0 && DetailList->columnWidth(column) != 0) {
            DetailList->setColumnWidth(column, 0);
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
    if (SameList->topLevelItemCount() == 0) {
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
    std::vector<const search::ResultGroup*> groups;
    for (int i = 0; i < SameList->topLevelItemCount(); ++i) {
        const std::optional<int> group = GroupOfRow(SameList->topLevelItem(i));
        if (group && *group < m_results->Capacity()) {
            groups.push_back(&m_results->Group(*group));
        }
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
