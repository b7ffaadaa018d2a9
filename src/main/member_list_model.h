#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "search/result_table.h"

// The member list: the present members of one group of the result table, by name in the locale's
// collation, and members of one name in slot order. A row carries its member's slot under
// kSlotRole; the row of a slot is found without a search through the rows. Name, folder and date
// are read from the table; the size is the one the file had when the list was filled.
class MemberListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    static constexpr int kNameColumn = 0;
    static constexpr int kFolderColumn = 1;
    static constexpr int kDateColumn = 2;
    static constexpr int kSizeColumn = 3;
    // In the name modes: whether a member holds the first member's bytes.
    static constexpr int kContentColumn = 4;
    static constexpr int kSlotRole = Qt::UserRole;

    explicit MemberListModel(const search::ResultTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An accepted edit of a name: the rename has been done (or refused) by then; the row shows
    // the member's name as it is and takes its place in the order.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Shows the group's present members; `sizes` by slot, empty where the file is no regular file.
    void Show(int group, const std::vector<QString>& sizes);
    void Clear();
    void RemoveSlot(int slot);
    // The member's name or folder has changed: its row shows it and moves to its place.
    void MemberChanged(int slot);
    void SetContentText(int row, const QString& text);
    // Whether the row's member is the one the bulk delete keeps: drawn in bold on a coloured
    // ground.
    void SetKept(int row, bool kept);

    // The group shown, or -1.
    int Group() const { return m_group; }
    int Count() const { return static_cast<int>(m_rows.size()); }
    int SlotAt(int row) const { return m_rows[static_cast<std::size_t>(row)].Slot; }
    // The row of the slot, or -1 when it is not shown.
    int RowOf(int slot) const;

  private:
    struct Row {
        int Slot = 0;
        QString Size;
        QString Content;
        bool Kept = false;
    };

    const search::ResultMember& MemberAt(int row) const;
    // The order of the rows: by name in the locale's collation, then by slot.
    bool Before(const Row& a, const Row& b) const;
    // Puts the rows in their order and brings the index of the slots up to date.
    void Arrange();
    void IndexRows();

    const search::ResultTable& m_table;
    int m_group = -1;
    std::vector<Row> m_rows;
    std::vector<int> m_rowOfSlot;
};
