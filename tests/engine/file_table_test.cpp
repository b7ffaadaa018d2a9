#include "search/file_table.h"

#include <gtest/gtest.h>

#include <string>

#include "common/test_files.h"

namespace {

using search::FileEntry;
using search::FileTable;

// A path written with "/", spelled with the system's separator.
std::string P(const char* path) {
    return testing_support::WithSystemSeparators(path);
}

void AddFile(FileTable& table, int number) {
    if (table.NeedsGrowth()) {
        table.Grow();
    }
    table.Append(0, "f" + std::to_string(number), number, {});
}

void ExpectFiveSentinelsBehindTheLastFile(const FileTable& table) {
    for (int i = table.Count(); i < table.Count() + 5; ++i) {
        ASSERT_LT(i, table.Capacity());
        EXPECT_TRUE(table[i].IsSentinel()) << "slot " << i;
    }
}

TEST(FileTable, StartsWith1024SentinelSlots) {
    FileTable table;
    ASSERT_TRUE(table.Create());
    EXPECT_EQ(table.Capacity(), 1024);
    EXPECT_EQ(table.Count(), 0);
    EXPECT_TRUE(table[0].IsSentinel());
    EXPECT_EQ(table.FirstSentinel(), 0);
}

TEST(FileTable, GrowsWhenThe1020thFileIsAddedAndKeepsTheOthers) {
    FileTable table;
    ASSERT_TRUE(table.Create());
    ASSERT_EQ(table.AddFolder(P("/d")), 0);
    for (int i = 0; i < 1019; ++i) {
        AddFile(table, i);
    }
    EXPECT_EQ(table.Capacity(), 1024);
    ExpectFiveSentinelsBehindTheLastFile(table);
    AddFile(table, 1019);
    EXPECT_EQ(table.Capacity(), 2048);
    for (int i = 0; i < 1020; ++i) {
        ASSERT_EQ(table[i].Size, i);
        ASSERT_EQ(table.PathOf(table[i]), P("/d/f") + std::to_string(i));
    }
    ExpectFiveSentinelsBehindTheLastFile(table);
    EXPECT_EQ(table.WorkLength, 1020);
    EXPECT_EQ(table.FirstSentinel(), 1020);
}

TEST(FileTable, KeepsFolderPathsLongerThanATextBlockWhole) {
    FileTable table;
    ASSERT_TRUE(table.Create());
    const std::string longFolder = P("/") + std::string(40000, 'f');
    const int shortFolder = table.AddFolder(P("/s"));
    const int folder = table.AddFolder(longFolder);
    table.Append(folder, "name", 1, {});
    table.Append(shortFolder, "other", 2, {});
    EXPECT_EQ(table.PathOf(table[0]), longFolder + P("/name"));
    EXPECT_EQ(table.FolderOf(table[0]), longFolder + P("/"));
    EXPECT_EQ(table.PathOf(table[1]), P("/s/other"));
}

TEST(FileTable, ReleaseLeavesNoSlots) {
    FileTable table;
    ASSERT_TRUE(table.Create());
    table.AddFolder("");
    AddFile(table, 1);
    table.Release();
    EXPECT_EQ(table.Capacity(), 0);
    EXPECT_EQ(table.Count(), 0);
}

}  // namespace
