// Content matching over real files: which files form groups, in which order, and what never
// matches.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "search/Search_func.h"
#include "search/search.h"
#include "support/recording_host.h"
#include "support/temp_tree.h"

namespace {

using testing_support::AsSets;
using testing_support::Contents;
using testing_support::FindGroups;
using testing_support::RecordingHost;
using testing_support::RunSearch;
using testing_support::ScopedTimeZone;
using testing_support::TempTree;
using Groups = std::set<std::set<std::string>>;

TEST(ContentPass, GroupsIdenticalFiles) {
    TempTree tree;
    const std::string block = Contents(8192, 1);
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        Groups expected;
    } cases[] = {
        {"three copies form one group",
         {{"a", "abc"}, {"b", "abc"}, {"c", "abc"}},
         {{"a", "b", "c"}}},
        {"two empty files", {{"a", ""}, {"b", ""}}, {{"a", "b"}}},
        {"two files of exactly one block", {{"a", block}, {"b", block}}, {{"a", "b"}}},
        {"equal first block, different later", {{"a", block + "x"}, {"b", block + "y"}}, {}},
        {"equal but for the last byte of a large file",
         {{"a", Contents(100000, 2)}, {"b", Contents(99999, 2) + "!"}},
         {}},
        {"sizes 30, 20, 20, 10",
         {{"a", std::string(30, 'x')},
          {"b", std::string(20, 'y')},
          {"c", std::string(20, 'y')},
          {"d", std::string(10, 'z')}},
         {{"b", "c"}}},
        {"same size, first 256 bytes differ", {{"a", "abc"}, {"b", "abd"}}, {}},
        {"no two sizes alike", {{"a", "1"}, {"b", "22"}, {"c", "333"}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempTree caseTree;
        for (const auto& [name, contents] : c.files) {
            caseTree.File(name, contents);
        }
        Groups expected;
        for (const auto& group : c.expected) {
            std::set<std::string> paths;
            for (const std::string& name : group) {
                paths.insert(caseTree.Path(name));
            }
            expected.insert(paths);
        }
        EXPECT_EQ(AsSets(FindGroups({caseTree.Root()})), expected);
    }
}

TEST(ContentPass, WritesTheGroupOfTheLargerFilesFirst) {
    TempTree tree;
    tree.File("a", "AAAA");
    tree.File("b", "AAAA");
    tree.File("c", "CCCC");
    tree.File("d", "CCCC");
    tree.File("big1", "0123456789");
    tree.File("big2", "0123456789");
    const auto groups = FindGroups({tree.Root()});
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(std::set<std::string>(groups[0].begin(), groups[0].end()),
              (std::set<std::string>{tree.Path("big1"), tree.Path("big2")}));
    EXPECT_EQ(AsSets(groups).size(), 3u);
}

TEST(ContentPass, KeepsEveryMemberOfALargeGroup) {
    TempTree tree;
    for (int i = 0; i < 40; ++i) {
        tree.File("copy" + std::to_string(i), "the same forty times");
    }
    RecordingHost host({tree.Root()});
    RunSearch(host);
    ASSERT_EQ(host.Groups.size(), 1u);
    EXPECT_EQ(host.Groups[0].size(), 40u);
    EXPECT_EQ(host.Results.Group(0).MemberCount, 40);
}

TEST(ContentPass, FillsFolderNameAndDateOfEachMember) {
    const ScopedTimeZone japan("JST-9");
    TempTree tree;
    tree.File("sub/x.txt", "data");
    tree.File("y.txt", "data");
    const timespec times[2] = {{1016154307, 0}, {1016154307, 250}};  // 2002-03-15 01:05:07 UTC
    ASSERT_EQ(utimensat(AT_FDCWD, tree.Path("y.txt").c_str(), times, 0), 0);
    ASSERT_EQ(utimensat(AT_FDCWD, tree.Path("sub/x.txt").c_str(), times, 0), 0);

    for (const bool dates : {true, false}) {
        RecordingHost host({tree.Root()});
        RunSearch(host, {.ResultDates = dates});
        ASSERT_EQ(host.Groups.size(), 1u);
        const search::ResultGroup& group = host.Results.Group(0);
        ASSERT_EQ(group.MemberCount, 2);
        for (const search::ResultMember& member : group.Members) {
            EXPECT_TRUE(member.Name == "x.txt" || member.Name == "y.txt") << member.Name;
            EXPECT_TRUE(member.Folder.ends_with("/"));
            EXPECT_EQ(member.Stamp.Size, 4);
            EXPECT_EQ(member.Stamp.Modified, (platform::FileTime{1016154307, 250}));
            EXPECT_EQ(member.Date, dates ? "2002/3/15 10:5:7" : "") << member.Name;
        }
    }
}

TEST(ContentPass, HardLinksNeverFormAGroupWithEachOther) {
    TempTree tree;
    tree.File("a", "linked");
    tree.HardLink("a", "b");
    tree.HardLink("a", "c");
    EXPECT_TRUE(FindGroups({tree.Root()}).empty());

    tree.File("copy", "linked");
    const auto groups = FindGroups({tree.Root()});
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].size(), 2u);  // one of the links and the copy
    EXPECT_TRUE(std::find(groups[0].begin(), groups[0].end(), tree.Path("copy")) !=
                groups[0].end());
}

TEST(ContentPass, OneFileReachedThroughTwoTargetsDoesNotMatchItself) {
    TempTree tree;
    tree.File("real/only", "one file");
    tree.SymLink(tree.Path("real"), "alias");
    EXPECT_TRUE(FindGroups({tree.Path("alias"), tree.Path("real")}).empty());
}

TEST(ContentPass, FilesWhosePathsDifferOnlyInCaseAreComparedLikeAnyOther) {
    TempTree tree;
    tree.File("A", "same");
    tree.File("a", "same");
    EXPECT_EQ(AsSets(FindGroups({tree.Root()})), (Groups{{tree.Path("A"), tree.Path("a")}}));
}

// Builds a folder whose 100th status request, the last of the walk, reaches the host: the test
// changes the file system there, after the walk has taken the sizes.
void FillTo100Entries(TempTree& tree, int used) {
    for (int i = used; i < 100; ++i) {
        tree.File("pad" + std::to_string(i), std::string(static_cast<std::size_t>(i) + 40000, 'p'));
    }
}

TEST(ContentPass, AFileThatShrankSinceTheWalkNeverMatches) {
    TempTree tree;
    const std::string block = Contents(8192, 7);
    const std::string a = tree.File("a", block + block);
    const std::string b = tree.File("b", block + block);
    FillTo100Entries(tree, 2);
    RecordingHost host({tree.Root()});
    host.OnStatus = [&](const search::StatusReport& report) {
        if (report.Phase == search::kPhaseWalk) {
            ASSERT_EQ(truncate(b.c_str(), 8192), 0);
        }
    };
    RunSearch(host);
    EXPECT_TRUE(host.Groups.empty());
    EXPECT_EQ(host.Messages, std::vector<std::string>{search::kMessageFinished});
}

// Records the files that the search names as left out.
class SkipRecordingHost : public RecordingHost {
  public:
    using RecordingHost::RecordingHost;
    void PathSkipped(const search::SkippedPath& skipped) override { Skipped.push_back(skipped); }
    std::vector<search::SkippedPath> Skipped;
};

TEST(ContentPass, AFileThatVanishedSinceTheWalkIsLeftOutAndNamed) {
    for (const auto comparison :
         {search::ContentComparison::Classes, search::ContentComparison::Pairwise}) {
        SCOPED_TRACE(static_cast<int>(comparison));
        TempTree tree;
        tree.File("a", "abc");
        tree.File("b", "abc");
        const std::string c = tree.File("c", "abc");
        FillTo100Entries(tree, 3);
        SkipRecordingHost host({tree.Root()});
        host.OnStatus = [&](const search::StatusReport& report) {
            if (report.Phase == search::kPhaseWalk) {
                std::filesystem::remove(c);
            }
        };
        RunSearch(host, {.Comparison = comparison});
        EXPECT_EQ(AsSets(host.Groups), (Groups{{tree.Path("a"), tree.Path("b")}}));
        ASSERT_EQ(host.Skipped.size(), 1u);
        EXPECT_EQ(host.Skipped[0].Path, c);
        EXPECT_EQ(host.Skipped[0].Reason, search::SkipReason::FileUnreadable);
        EXPECT_EQ(host.Skipped[0].Error, std::errc::no_such_file_or_directory);
    }
}

TEST(ContentPass, AFileReplacedAfterTheComparisonIsLeftOutOfItsGroup) {
    TempTree tree;
    const std::vector<std::string> copies = {tree.File("a", "abc"), tree.File("b", "abc"),
                                             tree.File("c", "abc")};
    // A group of larger files comes first; from then on every file of the pass is shown.
    tree.File("big1", std::string(1000, 'b'));
    tree.File("big2", std::string(1000, 'b'));
    RecordingHost host({tree.Root()});
    std::string replaced;
    host.OnStatus = [&](const search::StatusReport& report) {
        // The copies' bytes have been compared and their group is about to be handed over.
        // Another file, of the same size and time but other bytes, takes the name of one of them.
        if (report.Phase != search::kPhaseContent || !replaced.empty() ||
            std::find(copies.begin(), copies.end(), report.StatusText) == copies.end()) {
            return;
        }
        replaced = report.StatusText == copies[2] ? copies[0] : copies[2];
        struct stat old {};
        ASSERT_EQ(stat(replaced.c_str(), &old), 0);
        const std::string other = tree.File("other", "xyz");
        const timespec times[2] = {old.st_atim, old.st_mtim};
        ASSERT_EQ(utimensat(AT_FDCWD, other.c_str(), times, 0), 0);
        ASSERT_EQ(rename(other.c_str(), replaced.c_str()), 0);
    };
    RunSearch(host);
    ASSERT_FALSE(replaced.empty());
    std::set<std::string> kept(copies.begin(), copies.end());
    kept.erase(replaced);
    EXPECT_EQ(AsSets(host.Groups), (Groups{{tree.Path("big1"), tree.Path("big2")}, kept}));
}

}  // namespace
