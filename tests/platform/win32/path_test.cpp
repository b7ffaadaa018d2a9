#include "platform/path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform {
namespace {

TEST(WindowsPath, SplitsJoinsAndClimbsBelowDrivesAndShares) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        {"C:\\a\\b\\c.txt", "C:\\a\\b", "c.txt"},
        {"C:\\x", "C:\\", "x"},
        {"C:\\a\\b\\", "C:\\a", "b"},
        {"C:/a/b", "C:/a", "b"},
        {"name", ".", "name"},
        {"C:\\", "C:\\", ""},
        {"\\\\server\\share\\x", "\\\\server\\share\\", "x"},
        {"\\\\?\\C:\\long\\x", "\\\\?\\C:\\long", "x"},
        {"\\\\?\\UNC\\server\\share\\x", "\\\\?\\UNC\\server\\share\\", "x"},
        {"C:\\写真\\海.jpg", "C:\\写真", "海.jpg"},
        // In Shift JIS the second byte of 表 is "\"; the program keeps UTF-8, where it is not.
        {"C:\\表\\ソ.txt", "C:\\表", "ソ.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const PathParts parts = SplitPath(c.path);
        EXPECT_EQ(parts.Folder, c.folder);
        EXPECT_EQ(parts.Name, c.name);
    }
    EXPECT_EQ(JoinPath("C:\\a", "b"), "C:\\a\\b");
    EXPECT_EQ(JoinPath("C:\\", "b"), "C:\\b");
    EXPECT_EQ(WithSeparator("C:\\a"), "C:\\a\\");
    EXPECT_TRUE(IsRoot("C:\\"));
    EXPECT_TRUE(IsRoot("\\\\server\\share\\"));
    EXPECT_FALSE(IsRoot("C:\\a"));
    EXPECT_TRUE(IsAbsolute("C:\\a"));
    EXPECT_TRUE(IsAbsolute("d:/a"));
    EXPECT_TRUE(IsAbsolute("\\\\server\\share\\a"));
    EXPECT_FALSE(IsAbsolute("a\\b"));
    EXPECT_FALSE(IsAbsolute("\\a"));  // on the current drive, whichever that is
    EXPECT_FALSE(IsAbsolute(""));
}

TEST(WindowsPath, FolderLevelsFromTheDriveDown) {
    EXPECT_EQ(FolderLevels("C:\\a\\b"), (std::vector<std::string>{"C:\\", "C:\\a", "C:\\a\\b"}));
    EXPECT_EQ(FolderLevels("C:/a/./b/"), (std::vector<std::string>{"C:\\", "C:\\a", "C:\\a\\b"}));
    EXPECT_EQ(FolderLevels("C:\\"), std::vector<std::string>{"C:\\"});
    EXPECT_EQ(FolderLevels("\\\\server\\share\\a"),
              (std::vector<std::string>{"\\\\server\\share\\", "\\\\server\\share\\a"}));
}

}  // namespace
}  // namespace platform
