#include "main/shown_group.h"

#include <QLabel>
#include <QString>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>

#include "func/single_file_operations.h"
#include "main/member_list_model.h"
#include "platform/codepage.h"
#include "platform/file_stamp.h"
#include "search/first_contents.h"

namespace {

// The most that comparing a group with its new first member may read on the window thread; a
// group that would need more shows its members' contents as unknown.
constexpr std::int64_t kMostBytesToCompare = 64 * 1024 * 1024;

// The size of the regular file at `path`, as the member list shows it now.
std::optional<std::uintmax_t> CurrentSize(const std::string& path) {
    std::error_code error;
    const std::filesystem::path file(path);
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(file, error))) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        return std::nullopt;
    }
    return size;
}

}  // namespace

ShownGroup::ShownGroup(search::ResultTable& table, MemberListModel& members, QLabel* sizeLabel,
                       KeepChoice keep)
    : m_table(table), m_members(members), m_sizeLabel(sizeLabel), m_keep(std::move(keep)) {}

void ShownGroup::Show(int group) {
    const std::vector<search::ResultMember>& members = m_table.Group(group).Members;
    std::vector<QString> sizes(members.size());
    for (std::size_t slot = 0; slot < members.size(); ++slot) {
        if (members[slot].IsFree()) {
            continue;
        }
        if (const std::optional<std::uintmax_t> size = CurrentSize(members[slot].FullPath())) {
            sizes[slot] = QString::number(*size);
            m_sizeLabel->setText(QStringLiteral("  ﾌｧｲﾙ ｻｲｽﾞ %1ﾊﾞｲﾄ").arg(*size));
        }
    }
    m_members.Show(group, sizes);
    RefreshContents();
}

void ShownGroup::MarkKeptMembers() {
    const int group = m_members.Group();
    if (group < 0 || group >= m_table.Capacity()) {
        return;
    }
    const std::vector<bool> kept =
        func::ChooseKeptMembers(m_table.Group(group).Members, m_keep.Rule(), m_keep.NoDelEntries(),
                                platform::SystemCodePage());
    for (int row = 0; row < m_members.Count(); ++row) {
        const auto slot = static_cast<std::size_t>(m_members.SlotAt(row));
        m_members.SetKept(row, slot < kept.size() && kept[slot]);
    }
}

void ShownGroup::RefreshContents() {
    // Which file stays may have changed with the group as well.
    MarkKeptMembers();
    const int group = m_members.Group();
    if (group < 0 || group >= m_table.Capacity() || m_members.Count() == 0) {
        return;
    }
    const auto reference = m_contentReference.find(group);
    if (reference == m_contentReference.end()) {
        return;  // nobody compared this group's contents
    }
    const std::vector<search::ResultMember>& members = m_table.Group(group).Members;
    const auto first = std::find_if(members.begin(), members.end(),
                                    [](const search::ResultMember& m) { return !m.IsFree(); });
    if (first == members.end()) {
        return;
    }
    // The column compares with the first member: when that one has gone, with the one after it.
    if (first - members.begin() != reference->second) {
        CompareWithFirstMember(group);
    }
    // A member changed since the comparison, or a first member that did, is no longer known to
    // hold what the column says.
    const bool firstChanged =
        !func::IsFileAsFound(*first, platform::ReadFileStamp(first->FullPath()));
    for (int row = 0; row < m_members.Count(); ++row) {
        const search::ResultMember& member =
            members[static_cast<std::size_t>(m_members.SlotAt(row))];
        const bool changed =
            firstChanged ||
            !func::IsFileAsFound(member, platform::ReadFileStamp(member.FullPath()));
        m_members.SetContentText(
            row, ContentText(changed ? search::ContentMatch::Unknown : member.Content));
    }
}

void ShownGroup::SetContentReference(int group, int slot) {
    m_contentReference[group] = slot;
}

void ShownGroup::ForgetContentReferences() {
    m_contentReference.clear();
}

void ShownGroup::CompareWithFirstMember(int group) {
    std::vector<search::ResultMember>& members = m_table.Group(group).Members;
    std::vector<std::size_t> presentSlots;
    std::vector<search::FoundFile> files;
    std::int64_t bytes = 0;
    for (std::size_t slot = 0; slot < members.size(); ++slot) {
        const search::ResultMember& member = members[slot];
        if (member.IsFree()) {
            continue;
        }
        presentSlots.push_back(slot);
        files.push_back({member.FullPath(), member.Stamp.Size, member.Stamp.Identity});
        if (member.Stamp.Size == files.front().Size) {
            bytes += member.Stamp.Size;
        }
    }
    if (presentSlots.empty()) {
        return;
    }
    m_contentReference[group] = static_cast<int>(presentSlots.front());
    std::vector<search::ContentMatch> matches(files.size(), search::ContentMatch::Unknown);
    if (bytes <= kMostBytesToCompare) {
        std::atomic<std::int64_t> read{0};
        matches = search::MatchFirstContents(
            files, [] { return false; }, read);
    }
    for (std::size_t i = 0; i < presentSlots.size(); ++i) {
        members[presentSlots[i]].Content = matches[i];
    }
}

QString ShownGroup::ContentText(search::ContentMatch match) {
    switch (match) {
        case search::ContentMatch::Same:
            return QStringLiteral("同一");
        case search::ContentMatch::Different:
            return QStringLiteral("相違");
        case search::ContentMatch::Unknown:
            break;
    }
    return {};
}
