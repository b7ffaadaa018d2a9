#include "search/Search_func.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "common/test_files.h"

namespace {

using platform::CodePage;
using search::FileEntry;

const CodePage kUtf8(CodePage::Kind::Utf8);
const CodePage kSjis(CodePage::Kind::ShiftJis);

// A path written with "/", spelled with the system's separator.
std::string P(const char* path) {
    return testing_support::WithSystemSeparators(path);
}

TEST(PrepareTargets, LeavesOutOnlyRowsThatRepeatAnEarlierOne) {
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        std::vector<std::string> expected;
    } cases[] = {
        {"the same folder twice", {"/a", "/a"}, {"/a", ""}},
        {"a subfolder is left to the walk", {"/a", "/a/b"}, {"/a", "/a/b"}},
        {"a path through .. is left to the walk", {"/r/A", "/r/A/../AB"}, {"/r/A", "/r/A/../AB"}},
        {"an empty row", {"", "/a"}, {"", "/a"}},
        {"a repeat after an emptied row", {"/a", "/a", "/a"}, {"/a", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(search::PrepareTargets(c.rows), c.expected);
    }
}

TEST(PrepareTargets, KeepsEveryRowOfAListLongerThan1024) {
    std::vector<std::string> rows;
    for (int i = 0; i < 1500; ++i) {
        rows.push_back("/t/" + std::to_string(10000 + i));
    }
    EXPECT_EQ(search::PrepareTargets(rows), rows);
}

TEST(FolderBase, AddsASeparatorUnlessThereIsOne) {
    EXPECT_EQ(search::FolderBase(P("/\x95\x5C"), kSjis), P("/\x95\x5C/"));  // 表 ends in 0x5C
    EXPECT_EQ(search::FolderBase(P("/"), kUtf8), P("/"));
    EXPECT_EQ(search::FolderBase(P("/d"), kUtf8), P("/d/"));
    EXPECT_EQ(search::FolderBase(P("/d/"), kUtf8), P("/d/"));
}

TEST(NameKey, CutsTheExtensionOfTheFileNameOnly) {
    struct Case {
        const CodePage& codePage;
        std::string path;
        std::string expected;
    } cases[] = {
        {kUtf8, P("/d/report.doc"), P("/d/report")},
        {kUtf8, P("/d.old/readme"), P("/d.old/readme")},
        {kUtf8, P("/d/a.tar.gz"), P("/d/a.tar")},
        {kUtf8, P("/d/.profile"), P("/d/")},
        {kUtf8, P("/d/noext"), P("/d/noext")},
        {kSjis, P("/\x95\x5C/a.txt"), P("/\x95\x5C/a")},
        {kSjis, P("/d.x/\x95\x5C"), P("/d.x/\x95\x5C")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(search::NameKeyOf(c.path, c.codePage), c.expected);
    }
}

TEST(NamePart, StartsAtTheLastSeparator) {
    EXPECT_EQ(search::NamePartOf(P("/d/e/f.txt"), kUtf8), P("/f.txt"));
    EXPECT_EQ(search::NamePartOf(P("/d/"), kUtf8), P("/"));
    EXPECT_EQ(search::NamePartOf("nothing", kUtf8), "");
}

TEST(BlockSignature, WeighsTheFirst256Bytes) {
    std::array<unsigned char, 8192> block{};
    EXPECT_EQ(search::BlockSignature(block.data()), 0);
    block[0] = 'a';
    block[1] = 'b';
    block[2] = 'c';
    EXPECT_EQ(search::BlockSignature(block.data()), 3537);
    block[300] = 0xFF;  // beyond the first 256 bytes
    EXPECT_EQ(search::BlockSignature(block.data()), 3537);
    block.fill(0xFF);  // 255 * 16 * 136 = 554880 = 0x87780: low 16 bits 0x7780
    EXPECT_EQ(search::BlockSignature(block.data()), 0x7780);
    block.fill(0);
    block[2] = 0xFF;
    block[18] = 0xFF;
    block[34] = 0xFF;
    block[50] = 0xFF;
    block[66] = 0xFF;
    block[82] = 0xFF;
    block[98] = 0xFF;
    block[114] = 0xFF;
    block[130] = 0xFF;  // 9 * 255 * 16 = 36720 = 0x8F70: negative as a signed 16-bit value
    EXPECT_EQ(search::BlockSignature(block.data()), 36720 - 65536);
}

FileEntry Entry(std::int64_t size, std::int32_t group) {
    FileEntry entry;
    static const std::string name = P("/x");
    entry.Name = name;
    entry.Size = size;
    entry.Group = group;
    return entry;
}

TEST(SizeOrder, LargestFirstThenHighestGroupAndSentinelsLast) {
    EXPECT_LT(search::SizeOrder(Entry(30, 0), Entry(20, 0)), 0);
    EXPECT_GT(search::SizeOrder(Entry(0, 0), Entry(20, 0)), 0);
    EXPECT_LT(search::SizeOrder(Entry(20, 5), Entry(20, 2)), 0);
    EXPECT_EQ(search::SizeOrder(Entry(20, 2), Entry(20, 2)), 0);
    EXPECT_LT(search::SizeOrder(Entry(0, 0), Entry(-1, 0)), 0);
    EXPECT_LT(search::SizeOrder(Entry(std::int64_t{5} << 32, 0), Entry(1, 0)), 0);
}

TEST(NameOrder, SentinelsAndEmptyPathsGoLast) {
    FileEntry sentinel;
    FileEntry unnamed = Entry(1, 0);
    unnamed.Name = {};
    FileEntry b = Entry(1, 0);
    const std::string nameB = P("/b");
    b.Name = nameB;
    FileEntry a = Entry(1, 0);
    const std::string nameA = P("/A");
    a.Name = nameA;
    EXPECT_LT(search::NameOrder(a, b, search::kCompareName, kUtf8), 0);
    EXPECT_LT(search::NameOrder(b, unnamed, search::kCompareName, kUtf8), 0);
    EXPECT_LT(search::NameOrder(unnamed, sentinel, search::kCompareName, kUtf8), 0);
    EXPECT_EQ(search::NameOrder(sentinel, sentinel, search::kCompareName, kUtf8), 0);
}

TEST(FormatResultDate, HasNoLeadingZeros) {
    EXPECT_EQ(search::FormatResultDate({2002, 3, 5, 9, 7, 3}), "2002/3/5 9:7:3");
    EXPECT_EQ(search::FormatResultDate({2026, 12, 31, 23, 59, 58}), "2026/12/31 23:59:58");
}

TEST(PhaseText, NamesThePhases) {
    EXPECT_EQ(search::PhaseText(search::kPhaseWalk), "名前確認中");
    EXPECT_EQ(search::PhaseText(search::kPhaseContent), "内容確認中");
    EXPECT_EQ(search::PhaseText(search::kPhaseName), "名前比較中");
    EXPECT_EQ(search::PhaseText(search::kPhasePreFilter), "");
    EXPECT_EQ(search::PhaseText(search::kPhaseEnded), "");
}

}  // namespace
