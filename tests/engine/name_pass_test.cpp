// Name matching: which names form groups in the two name modes.

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>

#include "search/Search_func.h"
#include "search/search.h"
#include "support/case_names.h"
#include "support/recording_host.h"
#include "support/temp_tree.h"

namespace {

using testing_support::AsSets;
using testing_support::FindGroups;
using testing_support::RecordingHost;
using testing_support::RunSearch;
using testing_support::TempTree;
using Groups = std::set<std::set<std::string>>;

struct Case {
    const char* what;
    int mode;
    std::vector<std::string> files;  // relative paths; contents differ from file to file
    Groups expected;                 // relative paths
};

// Shown where a case is listed or fails.
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.what;
}

class NamePass : public testing::TestWithParam<Case> {};

TEST_P(NamePass, GroupsEqualNames) {
    const Case& c = GetParam();
    TempTree tree;
    int n = 0;
    for (const std::string& file : c.files) {
        tree.File(file, "contents " + std::to_string(n++));
    }
    Groups expected;
    for (const auto& group : c.expected) {
        std::set<std::string> paths;
        for (const std::string& file : group) {
            paths.insert(tree.Path(file));
        }
        expected.insert(paths);
    }
    EXPECT_EQ(AsSets(FindGroups({tree.Root()}, c.mode)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NamePass,
    testing::Values(
        Case{"letter case of ASCII names does not count",
             search::kCompareName,
             {"x/README.txt", "y/readme.TXT"},
             {{"x/README.txt", "y/readme.TXT"}}},
        Case{"extensions count in mode 2", search::kCompareName, {"x/a.txt", "y/a.doc"}, {}},
        Case{"extensions do not count in mode 1",
             search::kCompareStem,
             {"x/a.txt", "y/a.doc"},
             {{"x/a.txt", "y/a.doc"}}},
        Case{"only the last extension goes",
             search::kCompareStem,
             {"x/report.doc", "y/report.txt", "z/report.doc.bak"},
             {{"x/report.doc", "y/report.txt"}}},
        Case{"full-width letters keep their case",
             search::kCompareName,
             {"x/\xEF\xBC\xA1", "y/\xEF\xBD\x81"},
             {}},
        Case{"names that are all extension are empty in mode 1",
             search::kCompareStem,
             {"x/.profile", "y/.bashrc"},
             {{"x/.profile", "y/.bashrc"}}},
        Case{"three contents, one name",
             search::kCompareName,
             {"a/n", "b/n", "c/n"},
             {{"a/n", "b/n", "c/n"}}},
        Case{"two runs of names",
             search::kCompareName,
             {"a/n", "b/n", "a/m", "b/m", "c/o"},
             {{"a/n", "b/n"}, {"a/m", "b/m"}}},
        Case{"every name unique", search::kCompareName, {"a/1", "a/2", "a/3"}, {}},
        Case{"a dot in a folder name is no extension",
             search::kCompareStem,
             {"d.old/readme", "e/readme"},
             {{"d.old/readme", "e/readme"}}}),
    testing_support::NamedAfterDescription());

TEST(NamePassJob, HardLinksWithOneNameNeverFormAGroup) {
    TempTree tree;
    tree.File("a/name", "x");
    tree.Folder("b");
    tree.HardLink("a/name", "b/name");
    RecordingHost host({tree.Root()});
    RunSearch(host, {.Mode = search::kCompareName});
    EXPECT_TRUE(host.Groups.empty());
    EXPECT_EQ(host.Messages, std::vector<std::string>{search::kMessageFinished});
}

TEST(NamePassJob, GroupOfManyNamesKeepsAllMembersAndTheirOwnSizes) {
    TempTree tree;
    for (int i = 0; i < 35; ++i) {
        tree.File("d" + std::to_string(i) + "/same.txt",
                  std::string(static_cast<std::size_t>(i), 'x'));
    }
    RecordingHost host({tree.Root()});
    RunSearch(host, {.Mode = search::kCompareName});
    ASSERT_EQ(host.Groups.size(), 1u);
    EXPECT_EQ(host.Groups[0].size(), 35u);
    std::set<std::int64_t> sizes;
    for (const search::ResultMember& member : host.Results.Group(0).Members) {
        sizes.insert(member.Stamp.Size);
    }
    EXPECT_EQ(sizes.size(), 35u);
}

TEST(NamePassJob, ShowsEveryTenthRequestOfTheNamePass) {
    TempTree tree;
    for (int i = 0; i < 12; ++i) {
        tree.File("d/f" + std::to_string(i), "");
    }
    RecordingHost host({tree.Root()});
    RunSearch(host, {.Mode = search::kCompareName});
    // The walk makes requests 1 to 13; the pass's references 14 to 25, of which the 20th shows.
    ASSERT_EQ(host.Statuses.size(), 2u);
    EXPECT_EQ(host.Statuses[0].Phase, search::kPhaseName);
    EXPECT_EQ(host.Statuses[0].PhaseText, "名前比較中");
    EXPECT_EQ(host.Statuses[1].Phase, search::kPhaseEnded);
}

}  // namespace
