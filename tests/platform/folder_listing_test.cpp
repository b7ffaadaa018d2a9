// Folder listings: what they report of the folder and of entries that could not be looked at.

#include <gtest/gtest.h>

#include <cerrno>

#include "common/test_files.h"
#include "platform/posix/folder_listing_posix.h"

namespace {

using testing_support::TempFolder;
using testing_support::WriteFile;

TEST(FolderListing, SaysWhenTheListingBreaksOffPartWay) {
    TempFolder folder;
    for (const char* name : {"a", "b", "c", "d"}) {
        WriteFile(folder / name, "x");
    }
    int reads = 0;
    const platform::FolderListing listing =
        platform::ListFolderWith(folder.Root(), [&reads](DIR* dir) -> dirent* {
            if (++reads > 3) {
                errno = EIO;
                return nullptr;
            }
            return readdir(dir);
        });
    EXPECT_EQ(listing.Error, std::errc::io_error);
    EXPECT_EQ(listing.Entries.size(), 3u);  // what was read until then is kept
}

TEST(FolderListing, EndsWithoutAnErrorAtTheEndOfTheFolder) {
    TempFolder folder;
    WriteFile(folder / "a", "x");
    const platform::FolderListing listing = platform::ListFolder(folder.Root());
    EXPECT_FALSE(listing.Error);
    EXPECT_EQ(listing.Entries.size(), 3u);  // ".", ".." and "a"
    EXPECT_NE(listing.Identity, platform::FileIdentity{});
}

TEST(FolderListing, SaysWhyAFolderCannotBeOpened) {
    TempFolder folder;
    const platform::FolderListing listing = platform::ListFolder(folder / "missing");
    EXPECT_EQ(listing.Error, std::errc::no_such_file_or_directory);
    EXPECT_TRUE(listing.Entries.empty());
}

}  // namespace
