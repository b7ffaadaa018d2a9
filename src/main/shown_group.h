#pragma once

#include <QString>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "func/keep_rule.h"
#include "search/result_table.h"

class MemberListModel;
class QLabel;

// What decides which member of a group the bulk delete keeps: the must-not-delete list's entries
// and the keep rule, as they are at the moment of asking.
struct KeepChoice {
    std::function<std::vector<std::string>()> NoDelEntries;
    std::function<func::KeepRule()> Rule;
};

// The group that the member list shows: fills the list with its present members and the size
// label with their file size, marks the member that the bulk delete keeps, and keeps the content
// column (name modes) up to date as members come and go.
class ShownGroup {
  public:
    ShownGroup(search::ResultTable& table, MemberListModel& members, QLabel* sizeLabel,
               KeepChoice keep);

    // Fills the member list with the group's present members, their sizes read now.
    void Show(int group);
    // Shows in bold on a coloured ground the member rows of the files that the bulk delete would
    // keep, under the keep rule and the must-not-delete list as they are now.
    void MarkKeptMembers();
    // Brings the content column up to date: compared with the group's first present member, and
    // unknown for a member that changed since. Marks the kept member anew too.
    void RefreshContents();
    // The search compared the group's members with the member in `slot`.
    void SetContentReference(int group, int slot);
    // The table holds other groups now.
    void ForgetContentReferences();

    // The text of the content column for a member.
    static QString ContentText(search::ContentMatch match);

  private:
    // Compares the group's members with its first present member again.
    void CompareWithFirstMember(int group);

    search::ResultTable& m_table;
    MemberListModel& m_members;
    QLabel* m_sizeLabel;
    KeepChoice m_keep;
    // Per group whose contents were compared: the slot of the member that its members' Content
    // was compared with.
    std::unordered_map<int, int> m_contentReference;
};
