#include "platform/file_attributes.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "support/platform_fixture.h"

namespace platform {
namespace {

using platform_testing::TempFolder;
using platform_testing::WriteFile;

TEST(ReadFileAttributes, SizeBeyondFourGibibytes) {
    TempFolder temp;
    const std::string path = temp.Path("sparse.bin");
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    constexpr off_t kSize = (off_t{5} << 30) + 3;  // sparse: takes no room on disk
    ASSERT_EQ(ftruncate(fd, kSize), 0);
    close(fd);

    const FileAttributesResult result = ReadFileAttributes(path);

    ASSERT_FALSE(result.Error) << result.Error.message();
    EXPECT_EQ(result.Attributes.Size, kSize);
    EXPECT_FALSE(result.Attributes.IsFolder);
}

TEST(ReadFileAttributes, NameAndFlags) {
    TempFolder temp;
    struct Case {
        std::string name;
        mode_t mode;
        bool readOnly;
        bool hidden;
    };
    const Case cases[] = {
        {"plain.txt", 0644, false, false},     {".hidden", 0644, false, true},
        {"read-only.txt", 0444, true, false},  {".both", 0400, true, true},
        {"dot.in.middle", 0600, false, false}, {"\xff\xfe.txt", 0644, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = temp.Path(c.name);
        WriteFile(path, "x");
        ASSERT_EQ(chmod(path.c_str(), c.mode), 0);

        const FileAttributesResult result = ReadFileAttributes(path);

        ASSERT_FALSE(result.Error) << result.Error.message();
        EXPECT_EQ(result.Attributes.Name, c.name);
        EXPECT_EQ(result.Attributes.ShortName, c.name);
        EXPECT_EQ(result.Attributes.Size, 1);
        EXPECT_EQ(result.Attributes.ReadOnly, c.readOnly);
        EXPECT_EQ(result.Attributes.Hidden, c.hidden);
        EXPECT_FALSE(result.Attributes.Archive);
        EXPECT_FALSE(result.Attributes.System);
        EXPECT_FALSE(result.Attributes.Compressed);
    }
}

TEST(ReadFileAttributes, TimesAsTheFileSystemKeepsThem) {
    TempFolder temp;
    const std::string path = temp.Path("a.txt");
    WriteFile(path, "");
    const struct timespec times[2] = {{1000000000, 5}, {1016154307, 250}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

    const FileAttributesResult result = ReadFileAttributes(path);

    ASSERT_FALSE(result.Error);
    EXPECT_EQ(result.Attributes.Accessed, (FileTime{1000000000, 5}));
    EXPECT_EQ(result.Attributes.Modified, (FileTime{1016154307, 250}));
    EXPECT_EQ(result.Attributes.Size, 0);
    if (result.Attributes.Created) {
        // Birth time cannot be set: it is when the test made the file, after the times above.
        EXPECT_GT(result.Attributes.Created->Seconds, 1016154307);
    }
}

TEST(ReadFileAttributes, FolderAndMissingFile) {
    TempFolder temp;
    const FileAttributesResult folder = ReadFileAttributes(temp.Root());
    ASSERT_FALSE(folder.Error);
    EXPECT_TRUE(folder.Attributes.IsFolder);

    EXPECT_EQ(ReadFileAttributes(temp.Path("missing")).Error, std::errc::no_such_file_or_directory);
}

}  // namespace
}  // namespace platform
