#include "func/single_file_operations.h"

#include <algorithm>
#include <utility>

#include "platform/codepage.h"
#include "platform/file_system.h"
#include "platform/path.h"

namespace func {

bool IsFileAsFound(const search::ResultMember& member,
                   const std::optional<platform::FileStamp>& stamp) {
    // The change time catches contents rewritten with their old modification time put back.
    return IsSameFileAsFound(member, stamp) && stamp->Size == member.Stamp.Size &&
           stamp->Modified == member.Stamp.Modified && stamp->Changed == member.Stamp.Changed;
}

void FollowOwnMove(search::ResultMember& member, const std::optional<platform::FileStamp>& now,
                   bool asFoundBefore) {
    // A file that had changed before stays changed: only the move's own change is taken.
    if (asFoundBefore && now && now->Identity == member.Stamp.Identity &&
        now->Size == member.Stamp.Size && now->Modified == member.Stamp.Modified) {
        member.Stamp.Changed = now->Changed;
    }
}

bool IsSameFileAsFound(const search::ResultMember& member,
                       const std::optional<platform::FileStamp>& stamp) {
    return stamp && stamp->Identity == member.Stamp.Identity;
}

bool IsPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find(platform::kSeparator) == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

search::ResultMember* MemberAt(search::ResultTable& table, int group, int slot) {
    if (group < 0 || group >= table.Capacity() || slot < 0) {
        return nullptr;
    }
    std::vector<search::ResultMember>& members = table.Group(group).Members;
    if (slot >= static_cast<int>(members.size())) {
        return nullptr;
    }
    search::ResultMember& member = members[static_cast<std::size_t>(slot)];
    return member.IsFree() ? nullptr : &member;
}

void ForgetMember(search::ResultTable& table, int group, int slot, ResultRows& rows) {
    search::ResultMember* member = MemberAt(table, group, slot);
    if (member == nullptr) {
        return;
    }
    member->Name.clear();
    rows.RemoveMemberRow(group, slot);
    search::ResultGroup& record = table.Group(group);
    record.MemberCount = std::max(0, record.MemberCount - 1);
    if (record.MemberCount > 1) {
        rows.ShowMemberCount(group, record.MemberCount);
    } else {
        rows.RemoveGroupRow(group);
    }
}

std::error_code DeleteMember(search::ResultTable& table, int group, int slot,
                             const FileActions& actions, ResultRows& rows, DeletedMember* deleted) {
    const search::ResultMember* member = MemberAt(table, group, slot);
    if (member == nullptr) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    const std::string path = member->FullPath();
    // A file put in its place, or changed since, may no longer be a copy of the others.
    if (!IsFileAsFound(*member, platform::ReadFileStamp(path))) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    const platform::TrashResult trashed = actions.MoveToTrash(path);
    if (trashed.Error) {
        return trashed.Error;
    }
    if (deleted != nullptr) {
        *deleted = {group, slot, *member, trashed.Trashed};
    }
    ForgetMember(table, group, slot, rows);
    return {};
}

std::error_code RestoreMember(search::ResultTable& table, const DeletedMember& deleted,
                              const FileActions& actions, ResultRows& rows) {
    if (const std::error_code error = actions.RestoreFromTrash(deleted.Trashed)) {
        return error;
    }
    if (deleted.Group < 0 || deleted.Group >= table.Capacity() || deleted.Slot < 0) {
        return {};
    }
    search::ResultGroup& group = table.Group(deleted.Group);
    const auto slot = static_cast<std::size_t>(deleted.Slot);
    if (slot >= group.Members.size() || !group.Members[slot].IsFree()) {
        return {};
    }
    group.Members[slot] = deleted.Member;
    // The delete found the file as the search did, and the restore found it as the delete left it.
    search::ResultMember& member = group.Members[slot];
    FollowOwnMove(member, platform::ReadFileStamp(member.FullPath()), true);
    ++group.MemberCount;
    rows.ShowRestoredMember(deleted.Group, deleted.Slot, group.MemberCount);
    return {};
}

platform::MoveResult MoveMember(search::ResultTable& table, int group, int slot,
                                const std::string& folder, const FileActions& actions,
                                ResultRows& rows) {
    search::ResultMember* member = MemberAt(table, group, slot);
    if (member == nullptr || folder.empty()) {
        return {std::make_error_code(std::errc::invalid_argument), {}, {}};
    }
    const std::string path = member->FullPath();
    const std::optional<platform::FileStamp> before = platform::ReadFileStamp(path);
    // Another file that took the name since the search is not the one the user chose.
    if (!IsSameFileAsFound(*member, before)) {
        return {std::make_error_code(std::errc::no_such_file_or_directory), {}, {}};
    }
    platform::MoveResult moved = actions.MoveToFolder(path, folder);
    if (moved.Error) {
        return moved;
    }
    member->Folder = platform::WithSeparator(folder);
    // Across file systems the file is a copy now, with an identity of its own; its size and
    // modification time are those it had.
    const std::optional<platform::FileStamp> after = platform::ReadFileStamp(moved.NewPath);
    if (after) {
        member->Stamp.Identity = after->Identity;
    }
    FollowOwnMove(*member, after, IsFileAsFound(*member, before));
    if (moved.Replaced) {
        // The file that the move replaced is in the trash now: members listed at its path are
        // gone, like deleted ones.
        std::vector<std::pair<int, int>> replaced;
        for (const int listed : rows.ListedGroups()) {
            if (listed < 0 || listed >= table.Capacity()) {
                continue;
            }
            const std::vector<search::ResultMember>& members = table.Group(listed).Members;
            for (int other = 0; other < static_cast<int>(members.size()); ++other) {
                const search::ResultMember& candidate = members[static_cast<std::size_t>(other)];
                if (!candidate.IsFree() && std::pair{listed, other} != std::pair{group, slot} &&
                    candidate.FullPath() == moved.NewPath) {
                    replaced.emplace_back(listed, other);
                }
            }
        }
        for (const auto& [listed, other] : replaced) {
            ForgetMember(table, listed, other, rows);
        }
    }
    return moved;
}

std::error_code RenameMember(search::ResultMember& member, const std::string& newName) {
    // A name with a separator would move the file elsewhere.
    if (!IsPlainName(newName)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    const std::optional<platform::FileStamp> before = platform::ReadFileStamp(member.FullPath());
    if (!IsSameFileAsFound(member, before)) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    if (const std::error_code error =
            platform::RenameNoReplace(member.FullPath(), member.Folder + newName)) {
        return error;
    }
    const bool asFound = IsFileAsFound(member, before);
    member.Name = newName;
    FollowOwnMove(member, platform::ReadFileStamp(member.FullPath()), asFound);
    return {};
}

}  // namespace func
