#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "main/shown_group.h"
#include "search/result_table.h"

class GroupListModel;
class MemberListModel;
class QAction;
class QLabel;
class QMenu;
class QTreeView;

// The results page: the group list, the member list of the selected group with the file size
// above it, the command buttons below, and the member list's context menu. The commands go out as
// signals; the lists show the two models over the result table.
class ResultsPage : public QWidget {
    Q_OBJECT

  public:
    ResultsPage(search::ResultTable& table, KeepChoice keep, QWidget* parent);
    ~ResultsPage() override;

    GroupListModel& Groups() const { return *m_groups; }
    MemberListModel& Members() const { return *m_members; }
    QTreeView* GroupView() const { return m_groupView; }
    QTreeView* MemberView() const { return m_memberView; }
    // The file size of the shown group, in the content mode.
    QLabel* SizeLabel() const { return m_sizeLabel; }
    ShownGroup& Shown() const { return *m_shown; }

    // Fills the member list with the group's members.
    void ShowMembersOf(int group);
    // Fills the member list with the selected group's members; nothing when none is selected.
    void ShowSelectedGroup();
    // Empties both lists.
    void Clear();

    // Selects the group's row (its members fill the member list); false when it is not listed.
    bool SelectGroup(int group);
    std::optional<int> SelectedGroup() const;
    // Selects the member's row; false when it is not shown.
    bool SelectMember(int slot);
    std::optional<int> SelectedSlot() const;

    // Sorts the group list by the column: ascending, or reversed when it was sorted by it already.
    void SortGroupsBy(int column);
    // The layout of a compare mode: in the content mode the file size above the member list, the
    // surplus column of the group list, and no size or content column in the member list.
    void ShowCompareMode(int mode);
    // Closes again a size or content column that the user dragged open in the content mode.
    void KeepMemberColumnsOf(int mode);
    // While a name is edited in place the context menu and its keys are off.
    void AttachMemberMenu(bool attached);
    void PopUpMemberMenu(const QPoint& position);

  signals:
    // The member list shows another group, or the same one anew.
    void MembersShown();
    void OpenRequested();
    void RenameRequested();
    void MoveRequested();
    void DeleteRequested();
    void PropertiesRequested();
    void BulkDeleteRequested();
    void PreviewRequested();

  private:
    void BuildLists();
    void BuildButtons();
    void BuildMemberMenu();

    GroupListModel* m_groups;
    MemberListModel* m_members;
    QTreeView* m_groupView = nullptr;
    QTreeView* m_memberView = nullptr;
    QLabel* m_sizeLabel = nullptr;
    QMenu* m_memberMenu = nullptr;
    std::unique_ptr<ShownGroup> m_shown;
    QList<QAction*> m_memberActions;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
