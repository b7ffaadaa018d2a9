#include <gtest/gtest.h>

#include <string>

#include "common/test_files.h"
#include "platform/file_operations.h"
#include "platform/file_reader.h"
#include "platform/file_stamp.h"
#include "platform/file_system.h"
#include "platform/folder_listing.h"
#include "platform/path.h"

namespace platform {
namespace {

using testing_support::TempFolder;

// A path of about 340 characters, past the old limit of 260, in folders of Japanese names.
std::string DeepFolder(const std::string& root) {
    std::string folder = root;
    while (folder.size() < 340) {
        folder = JoinPath(folder, "とても長いフォルダの名前");
    }
    return folder;
}

TEST(WindowsLongPath, FilesBeyondTheOldLimitAreMadeListedReadAndRenamed) {
    const TempFolder root;
    const std::string folder = DeepFolder(root.Root());
    const std::string path = JoinPath(folder, "海.jpg");
    ASSERT_FALSE(CreateFolderOf(path));
    ASSERT_FALSE(WriteFileAtomically(path, "sea"));
    EXPECT_TRUE(Exists(path));
    EXPECT_TRUE(IsFolder(folder));

    const FolderListing listing = ListFolder(folder);
    ASSERT_FALSE(listing.Error);
    bool found = false;
    for (const FolderEntry& entry : listing.Entries) {
        found = found || (entry.Name == "海.jpg" && entry.Kind == EntryKind::File);
    }
    EXPECT_TRUE(found);

    const FileReader reader(path);
    ASSERT_TRUE(reader.IsOpen());
    unsigned char buffer[8];
    EXPECT_EQ(reader.ReadAt(0, buffer, sizeof buffer), 3);
    EXPECT_TRUE(ReadFileStamp(path));

    const std::string renamed = JoinPath(folder, "海のコピー.jpg");
    EXPECT_FALSE(RenameNoReplace(path, renamed));
    std::string contents;
    EXPECT_FALSE(ReadWholeFile(renamed, contents));
    EXPECT_EQ(contents, "sea");
}

}  // namespace
}  // namespace platform
