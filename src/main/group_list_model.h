#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

#include "search/result_table.h"

// The group list: one row per listed group of the result table, in the order found until the user
// sorts it by a column. A row carries its group's index under kGroupRole; the row of a group is
// found without a search through the rows.
class GroupListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    static constexpr int kNameColumn = 0;
    static constexpr int kCountColumn = 1;
    // The bytes that the group's copies beyond the first take.
    static constexpr int kSurplusColumn = 2;
    static constexpr int kGroupRole = Qt::UserRole;

    explicit GroupListModel(const search::ResultTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Stable: groups that compare equal keep their order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Adds rows for the groups at the end.
    void Append(const std::vector<int>& groups);
    void RemoveGroup(int group);
    void RemoveRow(int row);
    void Clear();
    // The group's member count, and with it its surplus bytes, has changed.
    void Refresh(int group);

    int Count() const { return static_cast<int>(m_rows.size()); }
    int GroupAt(int row) const { return m_rows[static_cast<std::size_t>(row)].Group; }
    // The row of the group, or -1 when it is not listed.
    int RowOf(int group) const;
    bool Lists(int group) const { return RowOf(group) >= 0; }
    // What the copies beyond the first take in all listed groups.
    std::int64_t SurplusBytes() const { return m_surplusBytes; }

  signals:
    void SurplusBytesChanged(std::int64_t bytes);

  private:
    struct Row {
        int Group = 0;
        std::int64_t Surplus = 0;
    };

    std::int64_t SurplusOf(int group) const;
    // Brings the index of the rows from `first` on up to date.
    void IndexRowsFrom(int first);
    void AddSurplus(std::int64_t bytes);

    const search::ResultTable& m_table;
    std::vector<Row> m_rows;
    // By group index: its row, or -1.
    std::vector<int> m_rowOfGroup;
    std::int64_t m_surplusBytes = 0;
};
