#include "main/group_list_model.h"

#include <algorithm>
#include <numeric>

#include "dialogs/path_text.h"
#include "main/byte_count_text.h"

namespace {

// The group's first member that is still there.
const search::ResultMember* FirstPresent(const search::ResultGroup& group) {
    const auto first = std::find_if(group.Members.begin(), group.Members.end(),
                                    [](const search::ResultMember& m) { return !m.IsFree(); });
    return first == group.Members.end() ? nullptr : &*first;
}

QString NameOf(const search::ResultGroup& group) {
    const search::ResultMember* first = FirstPresent(group);
    return first == nullptr ? QString() : PathText(first->Name);
}

}  // namespace

GroupListModel::GroupListModel(const search::ResultTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {}

int GroupListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int GroupListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant GroupListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) {
        return {};
    }
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    if (role == kGroupRole) {
        return row.Group;
    }
    if (role == Qt::TextAlignmentRole && index.column() == kSurplusColumn) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const search::ResultGroup& group = m_table.Group(row.Group);
    switch (index.column()) {
        case kNameColumn:
            return NameOf(group);
        case kCountColumn:
            return QString::number(group.MemberCount);
        case kSurplusColumn:
            return ByteCountText(row.Surplus);
        default:
            return {};
    }
}

QVariant GroupListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole && section == kSurplusColumn) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
        case kNameColumn:
            return Count() > 0 ? QStringLiteral("検索結果 %1件").arg(Count())
                               : QStringLiteral("検索結果");
        case kCountColumn:
            return QStringLiteral("一致個数");
        case kSurplusColumn:
            return QStringLiteral("余分な容量");
        default:
            return {};
    }
}

void GroupListModel::sort(int column, Qt::SortOrder order) {
    if (column < kNameColumn || column > kSurplusColumn || m_rows.size() < 2) {
        return;
    }
    // The keys are read once: a comparison only compares.
    std::vector<std::size_t> rows(m_rows.size());
    std::iota(rows.begin(), rows.end(), std::size_t{0});
    const auto arrange = [&](const auto& keys) {
        std::stable_sort(rows.begin(), rows.end(), [&](std::size_t a, std::size_t b) {
            return order == Qt::AscendingOrder ? keys[a] < keys[b] : keys[b] < keys[a];
        });
    };
    if (column == kNameColumn) {
        std::vector<QString> names;
        names.reserve(m_rows.size());
        for (const Row& row : m_rows) {
            names.push_back(NameOf(m_table.Group(row.Group)));
        }
        arrange(names);
    } else {
        std::vector<std::int64_t> numbers;
        numbers.reserve(m_rows.size());
        for (const Row& row : m_rows) {
            numbers.push_back(column == kCountColumn ? m_table.Group(row.Group).MemberCount
                                                     : row.Surplus);
        }
        arrange(numbers);
    }

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The views' selection and current row follow their groups.
    const QModelIndexList before = persistentIndexList();
    std::vector<int> groupsBefore;
    groupsBefore.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before) {
        groupsBefore.push_back(GroupAt(index.row()));
    }
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (const std::size_t from : rows) {
        sorted.push_back(m_rows[from]);
    }
    m_rows = std::move(sorted);
    IndexRowsFrom(0);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        after.push_back(
            index(RowOf(groupsBefore[static_cast<std::size_t>(i)]), before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GroupListModel::Append(const std::vector<int>& groups) {
    if (groups.empty()) {
        return;
    }
    const int first = Count();
    beginInsertRows({}, first, first + static_cast<int>(groups.size()) - 1);
    std::int64_t added = 0;
    for (const int group : groups) {
        const std::int64_t surplus = SurplusOf(group);
        m_rows.push_back({group, surplus});
        added += surplus;
    }
    IndexRowsFrom(first);
    endInsertRows();
    emit headerDataChanged(Qt::Horizontal, kNameColumn, kNameColumn);
    AddSurplus(added);
}

void GroupListModel::RemoveGroup(int group) {
    const int row = RowOf(group);
    if (row >= 0) {
        RemoveRow(row);
    }
}

void GroupListModel::RemoveRow(int row) {
    if (row < 0 || row >= Count()) {
        return;
    }
    beginRemoveRows({}, row, row);
    const Row removed = m_rows[static_cast<std::size_t>(row)];
    m_rows.erase(m_rows.begin() + row);
    m_rowOfGroup[static_cast<std::size_t>(removed.Group)] = -1;
    IndexRowsFrom(row);
    endRemoveRows();
    emit headerDataChanged(Qt::Horizontal, kNameColumn, kNameColumn);
    AddSurplus(-removed.Surplus);
}

void GroupListModel::Clear() {
    beginResetModel();
    m_rows.clear();
    m_rowOfGroup.clear();
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, kNameColumn, kNameColumn);
    AddSurplus(-m_surplusBytes);
}

void GroupListModel::Refresh(int group) {
    const int row = RowOf(group);
    if (row < 0) {
        return;
    }
    Row& listed = m_rows[static_cast<std::size_t>(row)];
    const std::int64_t surplus = SurplusOf(group);
    const std::int64_t change = surplus - listed.Surplus;
    listed.Surplus = surplus;
    emit dataChanged(index(row, kNameColumn), index(row, kSurplusColumn), {Qt::DisplayRole});
    AddSurplus(change);
}

int GroupListModel::RowOf(int group) const {
    if (group < 0 || static_cast<std::size_t>(group) >= m_rowOfGroup.size()) {
        return -1;
    }
    return m_rowOfGroup[static_cast<std::size_t>(group)];
}

std::int64_t GroupListModel::SurplusOf(int group) const {
    const search::ResultGroup& listed = m_table.Group(group);
    const search::ResultMember* first = FirstPresent(listed);
    if (first == nullptr || listed.MemberCount < 2) {
        return 0;
    }
    return static_cast<std::int64_t>(listed.MemberCount - 1) * first->Stamp.Size;
}

void GroupListModel::IndexRowsFrom(int first) {
    for (std::size_t row = static_cast<std::size_t>(first); row < m_rows.size(); ++row) {
        const auto group = static_cast<std::size_t>(m_rows[row].Group);
        if (group >= m_rowOfGroup.size()) {
            m_rowOfGroup.resize(std::max(group + 1, m_rowOfGroup.size() * 2), -1);
        }
        m_rowOfGroup[group] = static_cast<int>(row);
    }
}

void GroupListModel::AddSurplus(std::int64_t bytes) {
    m_surplusBytes += bytes;
    emit SurplusBytesChanged(m_surplusBytes);
}
