#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "common/test_files.h"
#include "platform/file_reader.h"
#include "platform/file_stamp.h"
#include "platform/folder_listing.h"
#include "platform/path.h"
#include "platform/win32/file_identity.h"

namespace platform {
namespace {

using testing_support::NativePath;
using testing_support::TempFolder;
using testing_support::WriteFile;

const FolderEntry* EntryNamed(const FolderListing& listing, const std::string& name) {
    const auto it = std::find_if(listing.Entries.begin(), listing.Entries.end(),
                                 [&](const FolderEntry& entry) { return entry.Name == name; });
    return it == listing.Entries.end() ? nullptr : &*it;
}

std::optional<EntryKind> KindNamed(const FolderListing& listing, const std::string& name) {
    const FolderEntry* entry = EntryNamed(listing, name);
    return entry != nullptr ? std::optional(entry->Kind) : std::nullopt;
}

TEST(WindowsIdentity, TwoNamesOfOneFileAreOneFileAndOtherFilesAreNot) {
    const TempFolder folder;
    const std::string first = JoinPath(folder.Root(), "海.jpg");
    const std::string second = JoinPath(folder.Root(), "海のコピー.jpg");
    const std::string other = JoinPath(folder.Root(), "別.jpg");
    WriteFile(first, "sea");
    WriteFile(other, "sea");
    ASSERT_TRUE(CreateHardLinkW(NativePath(second).c_str(), NativePath(first).c_str(), nullptr));

    const FolderListing listing = ListFolder(folder.Root());
    ASSERT_FALSE(listing.Error);
    const FolderEntry* a = EntryNamed(listing, "海.jpg");
    const FolderEntry* b = EntryNamed(listing, "海のコピー.jpg");
    const FolderEntry* c = EntryNamed(listing, "別.jpg");
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->Kind, EntryKind::File);
    EXPECT_EQ(a->Size, 3);
    EXPECT_EQ(a->Identity, b->Identity);
    EXPECT_NE(a->Identity, c->Identity);
    // A file that may have other names makes the search compare identities.
    EXPECT_GE(a->Links, 2u);

    // The reader and the stamp know the file by the identity that the listing gave.
    const FileReader reader(second);
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.Identity(), a->Identity);
    EXPECT_EQ(reader.Size(), 3);
    const std::optional<FileStamp> stamp = ReadFileStamp(other);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->Identity, c->Identity);
    EXPECT_EQ(ReadFileStamp(folder.Root())->Identity, listing.Identity);
}

TEST(WindowsIdentity, FilesWithoutAnIndexAreToldApartByTheirPath) {
    // Some network and FAT volumes give every file the index 0: sameness must then come from the
    // path, never from two zeros.
    const FILE_ID_128 none{};
    const FileIdentity a = IdentityFrom(7, none, "C:\\share\\a.txt");
    const FileIdentity b = IdentityFrom(7, none, "C:\\share\\b.txt");
    EXPECT_NE(a, b);
    EXPECT_EQ(a, IdentityFrom(7, none, "c:/SHARE/A.TXT"));
    EXPECT_EQ(a, IdentityFrom(7, none, "C:\\share\\x\\..\\a.txt"));

    FILE_ID_128 index{};
    index.Identifier[0] = 1;
    EXPECT_NE(IdentityFrom(7, index, "C:\\share\\a.txt"), a);
    EXPECT_NE(IdentityFrom(7, index, "C:\\x"), IdentityFrom(8, index, "C:\\x"));
    // The upper half of a 128-bit index (ReFS) tells files apart too.
    FILE_ID_128 high = index;
    high.Identifier[15] = 1;
    EXPECT_NE(IdentityFrom(7, index, "C:\\x"), IdentityFrom(7, high, "C:\\x"));
}

TEST(WindowsIdentity, ListsFoldersAndFilesButNeitherFollowsNorAddsLinks) {
    const TempFolder folder;
    WriteFile(JoinPath(folder.Root(), "file.txt"), "x");
    const std::string sub = JoinPath(folder.Root(), "sub");
    ASSERT_TRUE(CreateDirectoryW(NativePath(sub).c_str(), nullptr));
    const std::wstring link = NativePath(JoinPath(folder.Root(), "link")).wstring();
    // Wine answers success without making the link.
    const bool linked =
        CreateSymbolicLinkW(
            link.c_str(), NativePath(sub).c_str(),
            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0 &&
        GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;

    const FolderListing listing = ListFolder(folder.Root());
    ASSERT_FALSE(listing.Error);
    EXPECT_EQ(KindNamed(listing, "file.txt"), EntryKind::File);
    EXPECT_EQ(KindNamed(listing, "sub"), EntryKind::Folder);
    EXPECT_EQ(CountFolderEntries(folder.Root()), static_cast<int>(listing.Entries.size()));
    if (!linked) {
        GTEST_SKIP() << "this system makes no symbolic links for this user";
    }
    EXPECT_EQ(KindNamed(listing, "link"), EntryKind::Skipped);
}

}  // namespace
}  // namespace platform
