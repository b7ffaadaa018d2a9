// The target walk: what it adds, what it leaves alone, and which targets it walks.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "search/search.h"
#include "support/recording_host.h"
#include "support/temp_tree.h"

namespace {

using testing_support::AsSets;
using testing_support::FindGroups;
using testing_support::RecordingHost;
using testing_support::RunSearch;
using testing_support::TempTree;
using Groups = std::set<std::set<std::string>>;

// Makes `levels` nested folders named `name` below `root`, one openat() at a time so that the
// whole path may exceed PATH_MAX, and a file `file` with `contents` in the deepest. Returns the
// file's full path.
std::string MakeDeepFile(const std::string& root, int levels, const std::string& name,
                         const std::string& file, const std::string& contents) {
    int folder = open(root.c_str(), O_RDONLY | O_DIRECTORY);
    std::string path = root;
    for (int i = 0; i < levels && folder >= 0; ++i) {
        mkdirat(folder, name.c_str(), 0755);
        const int next = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(folder);
        folder = next;
        path += "/" + name;
    }
    const int fd = openat(folder, file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    close(folder);
    if (fd < 0 ||
        write(fd, contents.data(), contents.size()) != static_cast<ssize_t>(contents.size())) {
        ADD_FAILURE() << "could not write the deep file";
    }
    close(fd);
    return path + "/" + file;
}

// Removes a tree too deep for the path calls (rm walks relative to the open folder).
void RemoveDeepTree(const std::string& folder) {
    const std::string command = "rm -rf '" + folder + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
}

TEST(TargetWalk, FindsFilesInEveryFolderLevel) {
    TempTree tree;
    tree.File("a/b/c/d/e/f/deep", "x");
    tree.File("top", "x");
    tree.File(".hidden/also", "x");
    EXPECT_EQ(
        AsSets(FindGroups({tree.Root()})),
        (Groups{{tree.Path("a/b/c/d/e/f/deep"), tree.Path("top"), tree.Path(".hidden/also")}}));
}

TEST(TargetWalk, NeitherFollowsNorAddsSymbolicLinks) {
    TempTree tree;
    tree.File("real/file", "x");
    tree.File("other/copy", "x");
    tree.SymLink(tree.Path("real"), "other/folder-link");
    tree.SymLink(tree.Path("real/file"), "other/file-link");
    tree.SymLink(tree.Root(), "real/cycle");  // a link back up: must not loop
    EXPECT_EQ(AsSets(FindGroups({tree.Path("other"), tree.Path("real")})),
              (Groups{{tree.Path("real/file"), tree.Path("other/copy")}}));
}

TEST(TargetWalk, NeverOpensAFifo) {
    TempTree tree;
    tree.File("a", "");
    tree.File("b", "");
    ASSERT_EQ(mkfifo(tree.Path("pipe").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(tree.Path("pipe2").c_str(), 0600), 0);
    // Were the FIFOs added, they would share size 0 with the files and a read would block.
    EXPECT_EQ(AsSets(FindGroups({tree.Root()})), (Groups{{tree.Path("a"), tree.Path("b")}}));
}

TEST(TargetWalk, SearchesFoldersWhoseNameStartsWithAnEarlierTarget) {
    TempTree tree;
    tree.File("data/x", "same");
    tree.File("data2/y", "same");
    tree.File("z/data/w", "same");
    EXPECT_EQ(AsSets(FindGroups({tree.Path("data"), tree.Path("data2"), tree.Path("z/data")})),
              (Groups{{tree.Path("data/x"), tree.Path("data2/y"), tree.Path("z/data/w")}}));
}

TEST(TargetWalk, WalksAFolderReachedUnderSeveralNamesOnce) {
    TempTree tree;
    tree.File("top/x", "1");
    tree.File("top/sub/y", "1");
    tree.SymLink(tree.Path("top"), "top-link");
    tree.SymLink(tree.Path("top/sub"), "sub-link");
    const Groups once{{tree.Path("top/x"), tree.Path("top/sub/y")}};
    struct Case {
        const char* what;
        std::vector<std::string> targets;
        Groups expected;
    } cases[] = {
        {"a nested target", {tree.Path("top"), tree.Path("top/sub")}, once},
        {"a link to the target", {tree.Path("top"), tree.Path("top-link")}, once},
        {"a link to a folder inside",
         {tree.Path("sub-link"), tree.Path("top")},
         {{tree.Path("sub-link/y"), tree.Path("top/x")}}},
        {"the same folder through ..", {tree.Path("top"), tree.Path("top/sub/..")}, once},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto groups = FindGroups(c.targets);
        EXPECT_EQ(groups.size(), 1u);
        EXPECT_EQ(AsSets(groups), c.expected);
    }
}

TEST(TargetWalk, SearchesEveryFolderThatAPathThroughDotDotNames) {
    TempTree tree;
    tree.File("r/A/a", "1");
    tree.File("r/AB/b", "1");
    tree.File("r/c", "2");
    tree.File("r/A/d", "2");
    // The text of the second target starts with the first one's, yet it names another folder.
    EXPECT_EQ(AsSets(FindGroups({tree.Path("r/A"), tree.Path("r/A/../AB")})),
              (Groups{{tree.Path("r/A/a"), tree.Path("r/A/../AB/b")}}));
    // And a parent named through .. is searched, its child once.
    EXPECT_EQ(AsSets(FindGroups({tree.Path("r/A"), tree.Path("r/A/..")})),
              (Groups{{tree.Path("r/A/a"), tree.Path("r/A/../AB/b")},
                      {tree.Path("r/A/d"), tree.Path("r/A/../c")}}));
}

TEST(TargetWalk, ListsAFileWithSeveralNamesOnceInTheContentMode) {
    TempTree tree;
    tree.File("a/N", "same bytes");
    tree.Folder("b");
    tree.HardLink("a/N", "b/N");
    tree.File("c/N", "same bytes");
    tree.Folder("d");
    tree.HardLink("c/N", "d/N");
    // Which name stands for each file follows the listing order; there is one name of each.
    const auto groups = FindGroups({tree.Root()});
    ASSERT_EQ(groups.size(), 1u);
    const std::set<std::string> group(groups[0].begin(), groups[0].end());
    ASSERT_EQ(group.size(), 2u);
    EXPECT_EQ(group.count(tree.Path("a/N")) + group.count(tree.Path("b/N")), 1u);
    EXPECT_EQ(group.count(tree.Path("c/N")) + group.count(tree.Path("d/N")), 1u);
}

TEST(TargetWalk, KeepsEveryNameOfAFileInTheNameModes) {
    TempTree tree;
    tree.File("a/x", "one file");
    tree.HardLink("a/x", "a/z");
    tree.File("b/x", "another file");
    tree.HardLink("b/x", "b/z");
    // Two names of one file never group with each other, and no group is lost for them.
    EXPECT_EQ(AsSets(FindGroups({tree.Root()}, search::kCompareName)),
              (Groups{{tree.Path("a/x"), tree.Path("b/x")}, {tree.Path("a/z"), tree.Path("b/z")}}));
}

TEST(TargetWalk, NamesTheFilesAndFoldersThatItCannotLookAt) {
    TempTree tree;
    tree.File("open/x", "1");
    tree.File("open/y", "1");
    tree.File("closed/z", "1");
    tree.File("blind/w", "1");
    chmod(tree.Path("closed").c_str(), 0);
    chmod(tree.Path("blind").c_str(), 0444);  // listed, but its entries cannot be looked at
    const std::string failure = testing_support::RunWithoutPrivileges([&]() -> std::string {
        RecordingHost host({tree.Root()});
        RunSearch(host);
        if (AsSets(host.Groups) != Groups{{tree.Path("open/x"), tree.Path("open/y")}}) {
            return "the readable files were not grouped";
        }
        std::set<std::string> skipped;
        for (const search::SkippedPath& path : host.Skipped) {
            if (path.Error != std::errc::permission_denied) {
                return "wrong error for " + path.Path;
            }
            skipped.insert(path.Path);
        }
        if (skipped != std::set<std::string>{tree.Path("closed"), tree.Path("blind/w")} ||
            host.Skipped.size() != 2) {
            return "the skipped paths were not named once each";
        }
        return {};
    });
    chmod(tree.Path("closed").c_str(), 0755);
    chmod(tree.Path("blind").c_str(), 0755);
    EXPECT_EQ(failure, "");
}

TEST(TargetWalk, KeepsPathsLongerThan255BytesWhole) {
    TempTree tree;
    const std::string longName(200, 'n');
    const std::string relative = longName + "/" + longName + "/" + longName + "/file";
    tree.File(relative, "long");
    tree.File("short", "long");
    EXPECT_EQ(AsSets(FindGroups({tree.Root()})),
              (Groups{{tree.Path(relative), tree.Path("short")}}));
}

TEST(TargetWalk, SearchesFilesDeeperThanThePathLimit) {
    TempTree tree;
    const std::string deep =
        MakeDeepFile(tree.Folder("deep"), 30, std::string(200, 'd'), "copy", "far down");
    ASSERT_GT(deep.size(), static_cast<std::size_t>(PATH_MAX));
    tree.File("deep/near", "far down");
    tree.File("deep/other", "far dowN");
    RecordingHost host({tree.Root()});
    RunSearch(host);
    EXPECT_EQ(AsSets(host.Groups), (Groups{{deep, tree.Path("deep/near")}}));
    EXPECT_TRUE(host.Skipped.empty());
    RemoveDeepTree(tree.Path("deep"));
}

TEST(TargetWalk, KeepsNamesThatAreNotValidUtf8) {
    TempTree tree;
    tree.File("\xff\xfe.bin", "bytes");
    tree.File("ok.bin", "bytes");
    EXPECT_EQ(AsSets(FindGroups({tree.Root()})),
              (Groups{{tree.Path("\xff\xfe.bin"), tree.Path("ok.bin")}}));
}

TEST(TargetWalk, LeavesTheTrashAlone) {
    TempTree tree;
    tree.File("home/keep", "deleted once");
    tree.File("home/.local/share/Trash/files/keep", "deleted once");
    tree.File("home/.Trash-1000/files/keep", "deleted once");  // not at a file system's top
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldData != nullptr ? oldData : "";
    setenv("XDG_DATA_HOME", tree.Path("home/.local/share").c_str(), 1);
    const auto groups = FindGroups({tree.Path("home")});
    if (oldData != nullptr) {
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
    EXPECT_EQ(AsSets(groups),
              (Groups{{tree.Path("home/keep"), tree.Path("home/.Trash-1000/files/keep")}}));
}

}  // namespace
