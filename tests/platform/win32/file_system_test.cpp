#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/test_files.h"
#include "platform/file_attributes.h"
#include "platform/file_operations.h"
#include "platform/file_reader.h"
#include "platform/file_system.h"
#include "platform/folder_listing.h"
#include "platform/path.h"

namespace platform {
namespace {

using testing_support::NamesIn;
using testing_support::NativePath;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

TEST(WindowsRename, NeverReplacesAnotherFile) {
    const TempFolder folder;
    const std::string from = JoinPath(folder.Root(), "a.txt");
    const std::string to = JoinPath(folder.Root(), "b.txt");
    WriteFile(from, "mine");
    WriteFile(to, "theirs");
    EXPECT_EQ(RenameNoReplace(from, to), std::errc::file_exists);
    EXPECT_EQ(ReadFile(from), "mine");
    EXPECT_EQ(ReadFile(to), "theirs");

    EXPECT_FALSE(RenameNoReplace(from, JoinPath(folder.Root(), "c.txt")));
    EXPECT_EQ(ReadFile(JoinPath(folder.Root(), "c.txt")), "mine");
}

// True under wine, which runs Windows programs on another system's file system.
bool RunsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(WindowsRename, ChangesTheLetterCaseOfAName) {
    const TempFolder folder;
    WriteFile(JoinPath(folder.Root(), "photo.jpg"), "x");
    EXPECT_FALSE(RenameNoReplace(JoinPath(folder.Root(), "photo.jpg"),
                                 JoinPath(folder.Root(), "Photo.JPG")));
    if (RunsUnderWine() && NamesIn(folder.Root()) == std::vector<std::string>{"photo.jpg"}) {
        GTEST_SKIP() << "wine takes a rename to the same name in other letter case for no change";
    }
    EXPECT_EQ(NamesIn(folder.Root()), std::vector<std::string>{"Photo.JPG"});
}

TEST(WindowsAtomicWrite, ReplacesTheWholeFileAndLeavesNoTemporaryFile) {
    const TempFolder folder;
    const std::string path = JoinPath(folder.Root(), "dopplet.INI");
    EXPECT_FALSE(WriteFileAtomically(path, "[a]\r\nx=1\r\n"));
    EXPECT_EQ(ReadFile(path), "[a]\r\nx=1\r\n");
    EXPECT_FALSE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(NamesIn(folder.Root()), std::vector<std::string>{"dopplet.INI"});
    std::string contents;
    EXPECT_FALSE(ReadWholeFile(path, contents));
    EXPECT_EQ(contents, "new");
    EXPECT_EQ(ReadWholeFile(JoinPath(folder.Root(), "none"), contents),
              std::errc::no_such_file_or_directory);
}

TEST(WindowsAtomicWrite, KeepsAReadOnlyFileAsItWas) {
    const TempFolder folder;
    const std::string path = JoinPath(folder.Root(), "dopplet.INI");
    WriteFile(path, "old");
    ASSERT_TRUE(SetFileAttributesW(NativePath(path).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(WriteFileAtomically(path, "new"), std::errc::permission_denied);
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(NamesIn(folder.Root()), std::vector<std::string>{"dopplet.INI"});
}

TEST(WindowsAtomicWrite, NeverTakesTheNameOfAFolder) {
    const TempFolder folder;
    const std::string taken = JoinPath(folder.Root(), "taken");
    WriteFile(JoinPath(taken, "inside"), "kept");
    EXPECT_EQ(WriteFileAtomically(taken, "report"), std::errc::is_a_directory);
    EXPECT_EQ(NamesIn(folder.Root()), std::vector<std::string>{"taken"});
    EXPECT_EQ(ReadFile(JoinPath(taken, "inside")), "kept");
}

TEST(WindowsAtomicWrite, KeepsTheHiddenAttributeOfTheOldFile) {
    const TempFolder folder;
    const std::string path = JoinPath(folder.Root(), "dopplet.INI");
    WriteFile(path, "old");
    ASSERT_TRUE(SetFileAttributesW(NativePath(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_FALSE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_NE(GetFileAttributesW(NativePath(path).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(WindowsAtomicWrite, CreatesTheFoldersOfANewFile) {
    const TempFolder folder;
    const std::string path = JoinPath(JoinPath(folder.Root(), "設定"), "dopplet.INI");
    EXPECT_FALSE(CreateFolderOf(path));
    EXPECT_TRUE(IsFolder(ParentFolder(path)));
    EXPECT_TRUE(IsWritableFolder(ParentFolder(path)));
    EXPECT_FALSE(WriteFileAtomically(path, "x"));
    EXPECT_TRUE(Exists(path));
    EXPECT_FALSE(IsFolder(path));
}

TEST(WindowsNames, JapaneseNamesSurviveUnderAnyCodePage) {
    // Under code page 932 the second byte of 表, ソ and 能 is "\", and é has no Shift JIS form:
    // the ANSI calls would cut or change these names.
    const TempFolder folder;
    const std::vector<std::string> names{"cafe", "café", "ソ.txt", "表示.txt", "能力.txt"};
    for (const std::string& name : names) {
        EXPECT_FALSE(WriteFileAtomically(JoinPath(folder.Root(), name), name)) << name;
    }
    EXPECT_EQ(NamesIn(folder.Root()),
              (std::vector<std::string>{"cafe", "café", "ソ.txt", "能力.txt", "表示.txt"}));
    std::vector<std::string> listed;
    for (const FolderEntry& entry : ListFolder(folder.Root()).Entries) {
        if (entry.Kind == EntryKind::File) {
            listed.push_back(entry.Name);
        }
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, NamesIn(folder.Root()));
    for (const std::string& name : names) {
        const FileReader reader(JoinPath(folder.Root(), name));
        ASSERT_TRUE(reader.IsOpen()) << name;
        EXPECT_EQ(reader.Size(), static_cast<std::int64_t>(name.size()));
    }
}

TEST(WindowsAttributes, ShowsTheSystemsAttributes) {
    const TempFolder folder;
    const std::string path = JoinPath(folder.Root(), "long file name.text");
    WriteFile(path, "12345");
    ASSERT_TRUE(SetFileAttributesW(NativePath(path).c_str(),
                                   FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    const FileAttributesResult result = ReadFileAttributes(path);
    ASSERT_FALSE(result.Error);
    const FileAttributes& attributes = result.Attributes;
    EXPECT_EQ(attributes.Name, "long file name.text");
    EXPECT_FALSE(attributes.ShortName.empty());
    EXPECT_EQ(attributes.Size, 5);
    EXPECT_FALSE(attributes.IsFolder);
    EXPECT_TRUE(attributes.ReadOnly);
    EXPECT_TRUE(attributes.Hidden);
    EXPECT_TRUE(attributes.System);
    EXPECT_TRUE(attributes.Archive);
    EXPECT_TRUE(attributes.Created.has_value());
    EXPECT_EQ(ReadFileAttributes(JoinPath(folder.Root(), "none")).Error,
              std::errc::no_such_file_or_directory);
}

TEST(WindowsReader, LetsTheUserDeleteAFileWhileTheSearchReadsIt) {
    const TempFolder folder;
    const std::string path = JoinPath(folder.Root(), "open.bin");
    WriteFile(path, "contents");
    const FileReader reader(path);
    ASSERT_TRUE(reader.IsOpen());
    unsigned char buffer[16];
    EXPECT_EQ(reader.ReadAt(3, buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 5), "tents");
    EXPECT_TRUE(DeleteFileW(NativePath(path).c_str()));
    EXPECT_FALSE(FileReader(folder.Root()).IsOpen());
}

}  // namespace
}  // namespace platform
