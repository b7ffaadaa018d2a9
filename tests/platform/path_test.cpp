#include "platform/path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform {
namespace {

TEST(Path, SplitsJoinsAndClimbs) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        {"/a/b/c.txt", "/a/b", "c.txt"}, {"/x", "/", "x"}, {"/a/b/", "/a", "b"},
        {"name", ".", "name"},           {"/", "/", ""},   {"/写真/海.jpg", "/写真", "海.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const PathParts parts = SplitPath(c.path);
        EXPECT_EQ(parts.Folder, c.folder);
        EXPECT_EQ(parts.Name, c.name);
        EXPECT_EQ(ParentFolder(c.path), c.folder);
    }
    EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/", "b"), "/b");
    EXPECT_EQ(WithSeparator("/a"), "/a/");
    EXPECT_EQ(WithSeparator("/a/"), "/a/");
    EXPECT_TRUE(IsRoot("/"));
    EXPECT_FALSE(IsRoot("/a"));
    EXPECT_TRUE(IsAbsolute("/a"));
    EXPECT_FALSE(IsAbsolute("a/b"));
    EXPECT_FALSE(IsAbsolute(""));
}

TEST(Path, FolderLevelsFromTheRootDown) {
    EXPECT_EQ(FolderLevels("/a/b/c"), (std::vector<std::string>{"/", "/a", "/a/b", "/a/b/c"}));
    EXPECT_EQ(FolderLevels("//a/./b/"), (std::vector<std::string>{"/", "/a", "/a/b"}));
    EXPECT_EQ(FolderLevels("/"), std::vector<std::string>{"/"});
}

}  // namespace
}  // namespace platform
