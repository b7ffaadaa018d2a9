#include "func/keep_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A member at `path` last written at `seconds`.`nanoseconds`; an empty path is a free slot.
search::ResultMember Member(const std::string& path, std::int64_t seconds,
                            std::int32_t nanoseconds = 0) {
    search::ResultMember member;
    if (!path.empty()) {
        const std::size_t slash = path.rfind('/');
        member.Folder = path.substr(0, slash + 1);
        member.Name = path.substr(slash + 1);
    }
    member.Stamp.Modified = {seconds, nanoseconds};
    return member;
}

TEST(KeepRule, KeepsOneFileByTheRuleOrEveryProtectedFile) {
    using func::KeepRule;
    struct Case {
        const char* name;
        KeepRule rule;
        std::vector<search::ResultMember> members;
        std::vector<std::string> noDelList;
        std::vector<bool> kept;
    };
    const std::vector<search::ResultMember> dated = {
        Member("/data/b/copy.txt", 200), Member("/data/a/copy.txt", 100),
        Member("/data/copy.txt", 300), Member("/data/long/er/copy.txt", 50)};
    const Case cases[] = {
        {"first found", KeepRule::FirstFound, dated, {}, {true, false, false, false}},
        {"oldest", KeepRule::Oldest, dated, {}, {false, false, false, true}},
        {"newest", KeepRule::Newest, dated, {}, {false, false, true, false}},
        {"shortest path", KeepRule::ShortestPath, dated, {}, {false, false, true, false}},
        // The must-not-delete list wins over every rule, and keeps all that it covers.
        {"protected beats newest",
         KeepRule::Newest,
         dated,
         {"/DATA/B/", "/DATA/A/"},
         {true, true, false, false}},
        {"protected beats oldest", KeepRule::Oldest, dated, {"/B/"}, {true, false, false, false}},
        // Ties fall back to the member found first.
        {"oldest tie",
         KeepRule::Oldest,
         {Member("/x/2", 300), Member("/x/1", 100), Member("/x/3", 100)},
         {},
         {false, true, false}},
        {"newest tie",
         KeepRule::Newest,
         {Member("/x/1", 100), Member("/x/2", 100)},
         {},
         {true, false}},
        {"nanoseconds decide",
         KeepRule::Newest,
         {Member("/x/1", 100, 5), Member("/x/2", 100, 6)},
         {},
         {false, true}},
        {"shortest tie",
         KeepRule::ShortestPath,
         {Member("/x/bb", 0), Member("/x/aa", 0)},
         {},
         {true, false}},
        // A Japanese name counts its characters, not its bytes.
        {"shortest counts characters",
         KeepRule::ShortestPath,
         {Member("/x/abcd", 0), Member("/x/写真", 0)},
         {},
         {false, true}},
        // Free slots are never kept, nor counted as found first.
        {"free slots",
         KeepRule::FirstFound,
         {Member("", 0), Member("/x/1", 500), Member("/x/2", 100)},
         {},
         {false, true, false}},
        {"free slot is no oldest",
         KeepRule::Oldest,
         {Member("/x/1", 500), Member("", 0), Member("/x/2", 100)},
         {},
         {false, false, true}},
        {"nothing present", KeepRule::Newest, {Member("", 0)}, {}, {false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(
            func::ChooseKeptMembers(c.members, c.rule, c.noDelList, platform::SystemCodePage()),
            c.kept);
    }
}

TEST(KeepRule, ReadsEveryStoredNumberAsARule) {
    using func::KeepRule;
    const std::pair<std::int64_t, KeepRule> cases[] = {
        {0, KeepRule::FirstFound},   {1, KeepRule::Oldest},     {2, KeepRule::Newest},
        {3, KeepRule::ShortestPath}, {4, KeepRule::FirstFound}, {-1, KeepRule::FirstFound},
    };
    for (const auto& [stored, rule] : cases) {
        EXPECT_EQ(func::KeepRuleOf(stored), rule) << stored;
    }
}

}  // namespace
