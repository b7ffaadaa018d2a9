// The group and member list models on their own: the row of a group or a slot stays right when
// rows come, go and are sorted, and the surplus total follows.

#include <QSignalSpy>
#include <QTest>
#include <string>
#include <vector>

#include "main/group_list_model.h"
#include "main/member_list_model.h"
#include "search/result_table.h"

namespace {

// A group of `count` copies of a file of `size` bytes named `name`.
void FillGroup(search::ResultTable& table, int group, const std::string& name, int count,
               std::int64_t size) {
    while (group >= table.Capacity()) {
        QVERIFY(table.Grow());
    }
    search::ResultGroup& filled = table.Group(group);
    filled.Members.clear();
    for (int copy = 0; copy < count; ++copy) {
        search::ResultMember member;
        member.Folder = "/d" + std::to_string(copy) + "/";
        member.Name = name;
        member.Stamp.Size = size;
        filled.Members.push_back(member);
    }
    filled.MemberCount = count;
}

// Every listed group's row leads back to it, and the index agrees with the rows.
void CheckIndex(const GroupListModel& model) {
    for (int row = 0; row < model.Count(); ++row) {
        const int group = model.index(row, 0).data(GroupListModel::kGroupRole).toInt();
        QCOMPARE(model.GroupAt(row), group);
        QCOMPARE(model.RowOf(group), row);
    }
}

QStringList Column(const QAbstractItemModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        texts << model.index(row, column).data().toString();
    }
    return texts;
}

}  // namespace

class ResultsModelTest : public QObject {
    Q_OBJECT

  private slots:
    void SortsStablyAndReversesAndTheIndexFollows();
    void RemovedRowsLeaveTheIndexRightAndTheTotalFollows();
    void AHundredThousandGroupsAreListedAndSorted();
    void MemberRowsGoByNameThenSlotAndKeepTheirSlots();
};

void ResultsModelTest::SortsStablyAndReversesAndTheIndexFollows() {
    search::ResultTable table;
    // name, copies, size: surplus 10, 40, 10, 0 (a group of one copy has no surplus)
    FillGroup(table, 0, "b", 2, 10);
    FillGroup(table, 1, "a", 3, 20);
    FillGroup(table, 2, "c", 2, 10);
    FillGroup(table, 3, "a", 1, 5);
    GroupListModel model(table);
    model.Append({0, 1, 2, 3});
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("検索結果 4件"));
    QCOMPARE(Column(model, GroupListModel::kSurplusColumn), (QStringList{"10", "40", "10", "0"}));

    const struct {
        int Column;
        Qt::SortOrder Order;
        std::vector<int> Groups;
    } cases[] = {
        // Equal keys keep the order they had.
        {GroupListModel::kNameColumn, Qt::AscendingOrder, {1, 3, 0, 2}},
        {GroupListModel::kNameColumn, Qt::DescendingOrder, {2, 0, 1, 3}},
        {GroupListModel::kCountColumn, Qt::AscendingOrder, {3, 2, 0, 1}},
        {GroupListModel::kSurplusColumn, Qt::DescendingOrder, {1, 2, 0, 3}},
        {GroupListModel::kSurplusColumn, Qt::AscendingOrder, {3, 2, 0, 1}},
    };
    for (const auto& test : cases) {
        // A selection held in a persistent index stays on its group.
        const QPersistentModelIndex held = model.index(model.RowOf(0), 0);
        model.sort(test.Column, test.Order);
        std::vector<int> groups;
        for (int row = 0; row < model.Count(); ++row) {
            groups.push_back(model.GroupAt(row));
        }
        QCOMPARE(groups, test.Groups);
        CheckIndex(model);
        QCOMPARE(held.row(), model.RowOf(0));
    }
}

void ResultsModelTest::RemovedRowsLeaveTheIndexRightAndTheTotalFollows() {
    search::ResultTable table;
    std::vector<int> groups;
    for (int group = 0; group < 10; ++group) {
        FillGroup(table, group, "f" + std::to_string(group), 2 + group % 3, 100 + group);
        groups.push_back(group);
    }
    GroupListModel model(table);
    QSignalSpy totals(&model, &GroupListModel::SurplusBytesChanged);
    model.Append(groups);
    const auto expectedTotal = [&] {
        std::int64_t total = 0;
        for (int row = 0; row < model.Count(); ++row) {
            const search::ResultGroup& group = table.Group(model.GroupAt(row));
            total += (group.MemberCount - 1) * group.Members[0].Stamp.Size;
        }
        return total;
    };
    QCOMPARE(model.SurplusBytes(), expectedTotal());
    model.sort(GroupListModel::kSurplusColumn, Qt::DescendingOrder);

    // From the middle, the last and the first row; and a group that is not listed.
    for (const int group : {5, model.GroupAt(model.Count() - 1), model.GroupAt(0), 42}) {
        model.RemoveGroup(group);
        QCOMPARE(model.RowOf(group), -1);
        CheckIndex(model);
        QCOMPARE(model.SurplusBytes(), expectedTotal());
    }
    QCOMPARE(model.Count(), 7);

    // A member goes: the group's count, its surplus and the total follow.
    const int changed = model.GroupAt(2);
    table.Group(changed).MemberCount -= 1;
    model.Refresh(changed);
    QCOMPARE(model.SurplusBytes(), expectedTotal());
    QCOMPARE(totals.last().front().value<std::int64_t>(), expectedTotal());

    model.Clear();
    QCOMPARE(model.SurplusBytes(), 0);
    QCOMPARE(model.RowOf(changed), -1);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("検索結果"));
}

void ResultsModelTest::AHundredThousandGroupsAreListedAndSorted() {
    constexpr int kGroups = 100000;
    search::ResultTable table;
    std::vector<int> groups;
    groups.reserve(kGroups);
    for (int group = 0; group < kGroups; ++group) {
        // Names in an order that differs from the order found.
        FillGroup(table, group, "g" + std::to_string((group * 7919) % kGroups), 2, group % 1000);
        groups.push_back(group);
    }
    GroupListModel model(table);
    // Rows come in batches, as a search hands them over.
    for (int first = 0; first < kGroups; first += 1000) {
        model.Append(std::vector<int>(groups.begin() + first, groups.begin() + first + 1000));
    }
    QCOMPARE(model.Count(), kGroups);

    model.sort(GroupListModel::kNameColumn, Qt::AscendingOrder);
    for (int row = 1; row < model.Count(); ++row) {
        QVERIFY(model.index(row - 1, 0).data().toString() <= model.index(row, 0).data().toString());
    }
    CheckIndex(model);
    model.sort(GroupListModel::kSurplusColumn, Qt::DescendingOrder);
    for (int row = 1; row < model.Count(); ++row) {
        QVERIFY(table.Group(model.GroupAt(row - 1)).Members[0].Stamp.Size >=
                table.Group(model.GroupAt(row)).Members[0].Stamp.Size);
    }
    CheckIndex(model);
    // The last group of the list goes, as a delete of one of its two members takes it.
    const int last = model.GroupAt(kGroups - 1);
    model.RemoveGroup(last);
    QCOMPARE(model.RowOf(last), -1);
    QCOMPARE(model.Count(), kGroups - 1);
    CheckIndex(model);
}

void ResultsModelTest::MemberRowsGoByNameThenSlotAndKeepTheirSlots() {
    search::ResultTable table;
    FillGroup(table, 0, "x", 5, 1);
    std::vector<search::ResultMember>& members = table.Group(0).Members;
    members[0].Name = "c";
    members[1].Name = "a";
    members[2].Name.clear();  // a free slot has no row
    members[3].Name = "b";
    members[4].Name = "a";
    MemberListModel model(table);
    model.Show(0, {"1", "1", "", "1", "1"});
    QCOMPARE(Column(model, MemberListModel::kNameColumn), (QStringList{"a", "a", "b", "c"}));
    QCOMPARE(model.SlotAt(0), 1);
    QCOMPARE(model.SlotAt(1), 4);
    QCOMPARE(model.RowOf(2), -1);

    // A rename moves the row to its place; a selection held on it follows.
    const QPersistentModelIndex held = model.index(model.RowOf(1), 0);
    members[1].Name = "d";
    model.MemberChanged(1);
    QCOMPARE(Column(model, MemberListModel::kNameColumn), (QStringList{"a", "b", "c", "d"}));
    QCOMPARE(held.row(), 3);
    QCOMPARE(held.data(MemberListModel::kSlotRole).toInt(), 1);

    model.RemoveSlot(3);
    QCOMPARE(Column(model, MemberListModel::kNameColumn), (QStringList{"a", "c", "d"}));
    for (int row = 0; row < model.Count(); ++row) {
        QCOMPARE(model.RowOf(model.SlotAt(row)), row);
    }
    QCOMPARE(model.RowOf(3), -1);
}

QTEST_MAIN(ResultsModelTest)
#include "results_model_test.moc"
