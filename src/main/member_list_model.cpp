#include "main/member_list_model.h"

#include <QBrush>
#include <QCollator>
#include <QFont>
#include <algorithm>

#include "dialogs/path_text.h"
#include "func/name_edit.h"

namespace {

// The ground of the member rows that the bulk delete would keep.
const QColor kKeptGround(0xD8, 0xF0, 0xD8);

const QCollator& Collator() {
    static const QCollator collator;
    return collator;
}

QString ShownName(const std::string& name) {
    return QString::fromStdU16String(func::ShownName(name));
}

}  // namespace

MemberListModel::MemberListModel(const search::ResultTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {}

int MemberListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int MemberListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 5;
}

const search::ResultMember& MemberListModel::MemberAt(int row) const {
    return m_table.Group(m_group).Members[static_cast<std::size_t>(SlotAt(row))];
}

QVariant MemberListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) {
        return {};
    }
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
        case kSlotRole:
            return row.Slot;
        case Qt::FontRole: {
            // Only the weight: the rest comes from the list's own font.
            QFont font;
            font.setBold(row.Kept);
            return font;
        }
        case Qt::BackgroundRole:
            return row.Kept ? QBrush(kKeptGround) : QBrush();
        case Qt::ToolTipRole:
            return row.Kept ? QStringLiteral("まとめて削除で残るファイル") : QString();
        case Qt::TextAlignmentRole:
            if (index.column() == kSizeColumn) {
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            }
            return {};
        case Qt::DisplayRole:
        case Qt::EditRole:
            break;
        default:
            return {};
    }
    const search::ResultMember& member = MemberAt(index.row());
    switch (index.column()) {
        case kNameColumn:
            return ShownName(member.Name);
        case kFolderColumn:
            return PathText(member.Folder);
        case kDateColumn:
            return QString::fromStdString(member.Date);
        case kSizeColumn:
            return row.Size;
        case kContentColumn:
            return row.Content;
        default:
            return {};
    }
}

QVariant MemberListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole && section == kSizeColumn) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
        case kNameColumn:
            return QStringLiteral("ファイル名");
        case kFolderColumn:
            return QStringLiteral("場所");
        case kDateColumn:
            return QStringLiteral("日付");
        case kSizeColumn:
            return QStringLiteral("サイズ");
        case kContentColumn:
            return QStringLiteral("内容");
        default:
            return {};
    }
}

Qt::ItemFlags MemberListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool MemberListModel::setData(const QModelIndex& index, const QVariant& /*value*/, int role) {
    if (!index.isValid() || index.row() >= Count() || role != Qt::EditRole) {
        return false;
    }
    MemberChanged(SlotAt(index.row()));
    return true;
}

void MemberListModel::Show(int group, const std::vector<QString>& sizes) {
    beginResetModel();
    m_group = group;
    m_rows.clear();
    const std::vector<search::ResultMember>& members = m_table.Group(group).Members;
    for (std::size_t slot = 0; slot < members.size(); ++slot) {
        if (!members[slot].IsFree()) {
            m_rows.push_back({static_cast<int>(slot), slot < sizes.size() ? sizes[slot] : QString(),
                              QString(), false});
        }
    }
    std::sort(m_rows.begin(), m_rows.end(),
              [this](const Row& a, const Row& b) { return Before(a, b); });
    IndexRows();
    endResetModel();
}

void MemberListModel::Clear() {
    beginResetModel();
    m_group = -1;
    m_rows.clear();
    m_rowOfSlot.clear();
    endResetModel();
}

void MemberListModel::RemoveSlot(int slot) {
    const int row = RowOf(slot);
    if (row < 0) {
        return;
    }
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    IndexRows();
    endRemoveRows();
}

void MemberListModel::MemberChanged(int slot) {
    const int row = RowOf(slot);
    if (row < 0) {
        return;
    }
    emit dataChanged(index(row, kNameColumn), index(row, kContentColumn), {Qt::DisplayRole});
    Arrange();
}

void MemberListModel::SetContentText(int row, const QString& text) {
    Row& shown = m_rows[static_cast<std::size_t>(row)];
    if (shown.Content != text) {
        shown.Content = text;
        emit dataChanged(index(row, kContentColumn), index(row, kContentColumn), {Qt::DisplayRole});
    }
}

void MemberListModel::SetKept(int row, bool kept) {
    Row& shown = m_rows[static_cast<std::size_t>(row)];
    if (shown.Kept != kept) {
        shown.Kept = kept;
        emit dataChanged(index(row, kNameColumn), index(row, kContentColumn),
                         {Qt::FontRole, Qt::BackgroundRole, Qt::ToolTipRole});
    }
}

int MemberListModel::RowOf(int slot) const {
    if (slot < 0 || static_cast<std::size_t>(slot) >= m_rowOfSlot.size()) {
        return -1;
    }
    return m_rowOfSlot[static_cast<std::size_t>(slot)];
}

bool MemberListModel::Before(const Row& a, const Row& b) const {
    const std::vector<search::ResultMember>& all = m_table.Group(m_group).Members;
    const int order = Collator().compare(ShownName(all[static_cast<std::size_t>(a.Slot)].Name),
                                         ShownName(all[static_cast<std::size_t>(b.Slot)].Name));
    return order < 0 || (order == 0 && a.Slot < b.Slot);
}

void MemberListModel::Arrange() {
    std::vector<Row> sorted = m_rows;
    std::sort(sorted.begin(), sorted.end(),
              [this](const Row& a, const Row& b) { return Before(a, b); });
    bool same = true;
    for (std::size_t i = 0; i < sorted.size() && same; ++i) {
        same = sorted[i].Slot == m_rows[i].Slot;
    }
    if (same) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> slotsBefore;
    for (const QModelIndex& index : before) {
        slotsBefore.push_back(SlotAt(index.row()));
    }
    m_rows = std::move(sorted);
    IndexRows();
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        after.push_back(index(RowOf(slotsBefore[static_cast<std::size_t>(i)]), before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void MemberListModel::IndexRows() {
    m_rowOfSlot.assign(m_group < 0 ? 0 : m_table.Group(m_group).Members.size(), -1);
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const auto slot = static_cast<std::size_t>(m_rows[row].Slot);
        if (slot >= m_rowOfSlot.size()) {
            m_rowOfSlot.resize(slot + 1, -1);
        }
        m_rowOfSlot[slot] = static_cast<int>(row);
    }
}
