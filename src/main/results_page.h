#pragma once

#include <QWidget>
#include <optional>

#include "search/result_table.h"

class GroupListModel;
class MemberListModel;
class QAction;
class QLabel;
class QMenu;
class QTreeView;

// The results page: the group list, the member list of the selected group with the file size
// above it, the command buttons below, and the member list's context menu. The commands go out as
// signals; the lists show the two models.
class ResultsPage : public QWidget {
    Q_OBJECT

  public:
    ResultsPage(const search::ResultTable& table, QWidget* parent);

    GroupListModel& Groups() const { return *m_groups; }
    MemberListModel& Members() const { return *m_members; }
    QTreeView* GroupView() const { return m_groupView; }
    QTreeView* MemberView() const { return m_memberView; }
    // The file size of the shown group, in the content mode.
    QLabel* SizeLabel() const { return m_sizeLabel; }

    // Selects the group's row (its members fill the member list); false when it is not listed.
    bool SelectGroup(int group);
    std::optional<int> SelectedGroup() const;
    // Selects the member's row; false when it is not shown.
    bool SelectMember(int slot);
    std::optional<int> SelectedSlot() const;

    // Sorts the group list by the column: ascending, or reversed when it was sorted by it already.
    void SortGroupsBy(int column);
    // Shows the columns of a compare mode: the surplus column only in the content mode.
    void ShowCompareMode(int mode);
    // While a name is edited in place the context menu and its keys are off.
    void AttachMemberMenu(bool attached);
    void PopUpMemberMenu(const QPoint& position);

  signals:
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
    QList<QAction*> m_memberActions;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
