#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "func/file_actions.h"
#include "platform/file_stamp.h"
#include "search/result_table.h"

namespace func {

// The lists of the results page as the single-file operations change them.
class ResultRows {
  public:
    virtual ~ResultRows() = default;
    // The member at (group, slot) has left its group: its row goes, where it is listed.
    virtual void RemoveMemberRow(int group, int slot) = 0;
    // The group keeps `count` members, two or more.
    virtual void ShowMemberCount(int group, std::int32_t count) = 0;
    // The group has one member or none left: its row goes.
    virtual void RemoveGroupRow(int group) = 0;
    // The groups that the group list shows.
    virtual std::vector<int> ListedGroups() const = 0;
    // The member at (group, slot) is back and the group has `count` members: its rows come back
    // where the lists would show them, the group's row too when it had gone.
    virtual void ShowRestoredMember(int group, int slot, std::int32_t count) = 0;
};

// What a single delete took away, as its undo needs it: the member as it was, where it was in
// the result table (Group -1 once the table holds another search), and its trash entry.
struct DeletedMember {
    int Group = -1;
    int Slot = -1;
    search::ResultMember Member;
    platform::TrashedFile Trashed;
};

// True when `stamp` is the file that the search recorded in `member`: the same file (device and
// inode), the same size, the same modification time and the same change time.
bool IsFileAsFound(const search::ResultMember& member,
                   const std::optional<platform::FileStamp>& stamp);

// After the program itself renamed or moved the member's file, which sets its change time: takes
// the file's new change time from `now` when the file was as found before (`asFoundBefore`) and
// still has the recorded identity, size and modification time.
void FollowOwnMove(search::ResultMember& member, const std::optional<platform::FileStamp>& now,
                   bool asFoundBefore);

// True when `stamp` is the same file (device and inode) that the search recorded in `member`,
// whatever happened to its contents since.
bool IsSameFileAsFound(const search::ResultMember& member,
                       const std::optional<platform::FileStamp>& stamp);

// A name that stays in its folder: not empty, not "." or "..", no separator, no NUL.
bool IsPlainName(std::string_view name);

// The present member at (group, slot); nullptr for a free slot or one outside the table.
search::ResultMember* MemberAt(search::ResultTable& table, int group, int slot);

// The member at (group, slot) leaves its group: its slot is emptied, the group counts one less,
// and the rows follow.
void ForgetMember(search::ResultTable& table, int group, int slot, ResultRows& rows);

// Moves the member's file to the trash, provided it is still the file that the search found,
// unchanged, and then forgets it; `deleted` then holds what an undo needs. An error, and no
// change at all, when nothing was deleted.
std::error_code DeleteMember(search::ResultTable& table, int group, int slot,
                             const FileActions& actions, ResultRows& rows,
                             DeletedMember* deleted = nullptr);

// Puts the file of a single delete back from the trash (never over another file). When the
// table still holds its search, the member then returns to its slot and its rows come back. An
// error, and no change at all, when the file could not be put back.
std::error_code RestoreMember(search::ResultTable& table, const DeletedMember& deleted,
                              const FileActions& actions, ResultRows& rows);

// Moves the member's file into `folder`, provided it is still the file that the search found.
// The member then has its new folder and the identity of the file there; members listed at the
// path of a file that the move replaced (and so trashed) are forgotten. Nothing changes on
// failure.
platform::MoveResult MoveMember(search::ResultTable& table, int group, int slot,
                                const std::string& folder, const FileActions& actions,
                                ResultRows& rows);

// Renames the member's file to `newName` in its folder, provided it is a plain name and the path
// still names the file that the search found; never replaces another file. The member then has
// the new name. An error, and no change, otherwise.
std::error_code RenameMember(search::ResultMember& member, const std::string& newName);

}  // namespace func
