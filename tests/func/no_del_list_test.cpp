#include "func/no_del_list.h"

#include <gtest/gtest.h>

#include <strings.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Entries = std::vector<std::string>;

TEST(TidyNoDelList, SortsAndDropsBlankAndRepeatedEntries) {
    const std::string longEntry = "/" + std::string(5000, 'L');
    struct Case {
        const char* name;
        Entries input;
        Entries expected;
    };
    const Case cases[] = {
        {"empty list", {}, {}},
        {"sorted", {"/SRV", "/HOME", "/OPT"}, {"/HOME", "/OPT", "/SRV"}},
        {"blank entries", {"", "   ", "\t", "\x01\x1f ", "/X"}, {"/X"}},
        {"repeated entry", {"/WORK", "/WORK", "/WORK"}, {"/WORK"}},
        {"repeats among blanks", {"/A", "", "/B", "/A", " ", "/A"}, {"/A", "/B"}},
        {"blanks around an entry stay", {"/X", " /X", "/X "}, {" /X", "/X", "/X "}},
        {"blank inside an entry", {"/A B", "/A"}, {"/A", "/A B"}},
        {"case makes a different entry", {"/a", "/A"}, {"/A", "/a"}},
        {"an entry longer than 1023 bytes stays whole", {longEntry, "/A"}, {"/A", longEntry}},
        {"line breaks split an entry", {"/B\n/A\r\n\r\n/C\r/D\n"}, {"/A", "/B", "/C", "/D"}},
        {"lines keep their blanks", {" /X\n\t\n/Y "}, {" /X", "/Y "}},
        {"a line repeating an entry", {"/A", "/B\n/A"}, {"/A", "/B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Entries entries = c.input;
        func::TidyNoDelList(entries);
        EXPECT_EQ(entries, c.expected);
    }
}

TEST(TidyNoDelList, FollowsTheCollationAndKeepsEntriesItRanksEqual) {
    // A collation that ignores letter case, as a locale's may: "/A" and "/a" rank equal but are
    // different entries, so both stay, in byte order, whatever order they came in.
    const func::EntryCollation caseless = [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str());
    };
    Entries input = {"/b", "/a", "/A", "/B", "/a"};
    std::sort(input.begin(), input.end());
    do {
        Entries entries = input;
        func::TidyNoDelList(entries, caseless);
        EXPECT_EQ(entries, (Entries{"/A", "/a", "/B", "/b"}));
    } while (std::next_permutation(input.begin(), input.end()));
}

TEST(IsProtected, MatchesAnyEntryAsASubstringOfTheUpperCasedPath) {
    struct Case {
        const char* name;
        const char* upperPath;
        Entries entries;
        bool expected;
    };
    const Case cases[] = {
        {"folder entry covers a file beneath", "/DATA/REPORT.TXT", {"/DATA"}, true},
        {"folder entry covers a longer folder name", "/DATABASE/X.TXT", {"/DATA"}, true},
        {"unrelated path", "/HOME/X.TXT", {"/DATA"}, false},
        {"entry written in lower case", "/DATA/X.TXT", {"/data"}, true},
        {"file name entry in any folder", "/A/B/NOTES.BAK", {"bak"}, true},
        {"BAK inside a folder name", "/HOME/BAKERY/X.TXT", {"BAK"}, true},
        {"BACKUP does not contain BAK", "/HOME/BACKUP/X.TXT", {"BAK"}, false},
        {"second entry matches", "/SRV/X", {"/DATA", "/SRV"}, true},
        {"leading blank needs the blank", "/X/FILE", {" /X"}, false},
        {"leading blank matches with the blank", "/A /X/FILE", {" /X"}, true},
        {"blank entries never protect", "/A B/C", {" ", "", "\t"}, false},
        {"empty list", "/A", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(func::IsProtected(c.upperPath, c.entries), c.expected);
    }
}

TEST(ProtectingEntry, NamesTheFirstEntryThatCoversThePath) {
    const std::vector<std::string> entries = {"   ", "/ARCHIVE/", "photos", "/SRV/ARCHIVE/"};
    const struct {
        const char* upperPath;
        const char* entry;  // nullptr: none
    } cases[] = {
        {"/SRV/ARCHIVE/A.TXT", "/ARCHIVE/"},
        {"/HOME/PHOTOS/B.JPG", "photos"},
        {"/HOME/A.TXT", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.upperPath);
        const std::string* entry = func::ProtectingEntry(c.upperPath, entries);
        if (c.entry == nullptr) {
            EXPECT_EQ(entry, nullptr);
        } else {
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ(*entry, c.entry);
        }
        EXPECT_EQ(func::IsProtected(c.upperPath, entries), c.entry != nullptr);
    }
}

TEST(IsProtected, LeavesDoubleByteCharactersAloneWhenUpperCasingEntries) {
    // In Shift JIS the second byte of a double-byte character may be a lower-case letter: 0x83 0x61
    // is one character, and its 0x61 must not turn into 0x41.
    const platform::CodePage shiftJis(platform::CodePage::Kind::ShiftJis);
    const std::string upperPath = "/\x83\x61/FILE";
    EXPECT_TRUE(func::IsProtected(upperPath, {"/\x83\x61/file"}, shiftJis));
    EXPECT_FALSE(func::IsProtected("/\x83\x41/FILE", {"/\x83\x61"}, shiftJis));
}

}  // namespace
