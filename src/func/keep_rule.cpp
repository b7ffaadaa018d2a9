#include "func/keep_rule.h"

#include <cstddef>
#include <optional>
#include <string_view>

#include "func/no_del_list.h"

namespace func {

namespace {

// The characters of a path: its bytes without UTF-8 continuation bytes, so that a Japanese name
// counts as long as it looks.
std::size_t CharacterCount(std::string_view path) {
    std::size_t count = 0;
    for (const char byte : path) {
        if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

bool IsEarlier(const platform::FileTime& a, const platform::FileTime& b) {
    return a.Seconds != b.Seconds ? a.Seconds < b.Seconds : a.Nanoseconds < b.Nanoseconds;
}

// True when `candidate` beats `best` under `rule`; a tie keeps `best`, the one found earlier.
bool IsBetter(const search::ResultMember& candidate, const search::ResultMember& best,
              KeepRule rule) {
    switch (rule) {
        case KeepRule::FirstFound:
            return false;
        case KeepRule::Oldest:
            return IsEarlier(candidate.Stamp.Modified, best.Stamp.Modified);
        case KeepRule::Newest:
            return IsEarlier(best.Stamp.Modified, candidate.Stamp.Modified);
        case KeepRule::ShortestPath:
            return CharacterCount(candidate.Folder) + CharacterCount(candidate.Name) <
                   CharacterCount(best.Folder) + CharacterCount(best.Name);
    }
    return false;
}

}  // namespace

KeepRule KeepRuleOf(std::int64_t stored) {
    switch (stored) {
        case static_cast<std::int64_t>(KeepRule::Oldest):
            return KeepRule::Oldest;
        case static_cast<std::int64_t>(KeepRule::Newest):
            return KeepRule::Newest;
        case static_cast<std::int64_t>(KeepRule::ShortestPath):
            return KeepRule::ShortestPath;
        default:
            return KeepRule::FirstFound;
    }
}

std::vector<bool> ChooseKeptMembers(const std::vector<search::ResultMember>& members, KeepRule rule,
                                    const std::vector<std::string>& noDelList,
                                    const platform::CodePage& codePage) {
    std::vector<bool> kept(members.size(), false);
    bool anyProtected = false;
    std::optional<std::size_t> best;
    for (std::size_t slot = 0; slot < members.size(); ++slot) {
        const search::ResultMember& member = members[slot];
        if (member.IsFree()) {
            continue;
        }
        if (IsProtected(codePage.UpperAscii(member.FullPath()), noDelList, codePage)) {
            kept[slot] = true;
            anyProtected = true;
        }
        if (!best || IsBetter(member, members[*best], rule)) {
            best = slot;
        }
    }
    if (!anyProtected && best) {
        kept[*best] = true;
    }
    return kept;
}

}  // namespace func
