// The target walk: what it adds, what it leaves alone, and which targets it walks.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "search/search.h"
#include "support/recording_host.h"
#include "support/temp_tree.h"

namespace {

using testing_support::AsSets;
using testing_support::FindGroups;
using testing_support::TempTree;
using Groups = std::set<std::set<std::string>>;

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

TEST(TargetWalk, WalksANestedTargetOnlyOnce) {
    TempTree tree;
    tree.File("a/x", "1");
    tree.File("a/b/y", "1");
    const auto groups = FindGroups({tree.Path("a"), tree.Path("a/b")});
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].size(), 2u);
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
