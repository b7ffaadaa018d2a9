#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::CodePage;

const CodePage kSjis(CodePage::Kind::ShiftJis);
const CodePage kUtf8(CodePage::Kind::Utf8);

// Shift JIS: 表 and ソ end in 0x5C, the byte of "\"; Ａ and ａ are full-width letters.
const std::string kHyou = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kFullA = "\x82\x60";
const std::string kFullSmallA = "\x82\x81";
const std::string kKatakanaA = "\x83\x41";  // ア, double-byte
const std::string kHalfwidthA = "\xB1";     // ｱ, single-byte

TEST(CodePage, FindLastStepsOverTrailBytes) {
    struct Case {
        const CodePage& codePage;
        std::string text;
        char ch;
        std::size_t expected;
    } cases[] = {
        {kSjis, "C:\\" + kHyou, '\\', 2},           {kSjis, "C:\\" + kHyou + "\\x", '\\', 5},
        {kSjis, kSo, '\\', std::string::npos},      {kSjis, "a.b" + kHyou, '.', 1},
        {kUtf8, "/d/\xE8\xA1\xA8/x.txt", '/', 6},   {kUtf8, "/d/\xE8\xA1\xA8/x.txt", '.', 8},
        {kUtf8, "noslash", '/', std::string::npos},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.codePage.FindLast(c.text, c.ch), c.expected);
    }
}

TEST(CodePage, EndsWithCharIgnoresATrailByteThatLooksLikeTheSeparator) {
    EXPECT_FALSE(kSjis.EndsWithChar("C:\\" + kHyou, '\\'));
    EXPECT_TRUE(kSjis.EndsWithChar("C:\\" + kHyou + "\\", '\\'));
    EXPECT_TRUE(kSjis.EndsWithChar("C:\\", '\\'));
    EXPECT_TRUE(kUtf8.EndsWithChar("/", '/'));
    EXPECT_FALSE(kUtf8.EndsWithChar("", '/'));
}

TEST(CodePage, UpperAsciiLeavesMultiByteCharactersAlone) {
    // 0x82 0x81 (ａ) carries a trail byte in the range of ASCII letters in neither position, but
    // 0x83 0x61 does: its trail byte is "a" and must stay.
    EXPECT_EQ(kSjis.UpperAscii("ab\x83\x61z"), "AB\x83\x61Z");
    EXPECT_EQ(kSjis.UpperAscii(kFullSmallA), kFullSmallA);
    EXPECT_EQ(kUtf8.UpperAscii("readme.txt \xEF\xBD\x81"), "README.TXT \xEF\xBD\x81");
}

TEST(CodePage, CompareNames) {
    struct Case {
        const char* what;
        const CodePage& codePage;
        std::string a;
        std::string b;
        int expectedSign;
    } cases[] = {
        {"ASCII letters ignore case", kUtf8, "\\README.txt", "\\readme.TXT", 0},
        {"ASCII letters ignore case (SJIS)", kSjis, "\\README.txt", "\\readme.TXT", 0},
        {"different names", kUtf8, "\\a.txt", "\\a.doc", 1},
        {"shorter prefix first", kUtf8, "\\ab", "\\abc", -1},
        {"full-width letters keep their case (SJIS)", kSjis, kFullA, kFullSmallA, -1},
        {"full-width letters keep their case (UTF-8)", kUtf8, "\xEF\xBC\xA1", "\xEF\xBD\x81", -1},
        {"half-width katakana before double-byte", kSjis, kHalfwidthA, kKatakanaA, -1},
        {"single byte before double-byte even when larger", kSjis, "\xDF", "\x81\x40", -1},
        {"ASCII before multi-byte (UTF-8)", kUtf8, "z", "\xC3\xA9", -1},
        {"a trail byte 0x5C is no separator", kSjis, kHyou, kSo, 1},
        {"a dangling lead byte ends the text", kSjis, "ab\x95", "ab", 0},
        {"identical double-byte names", kSjis, kHyou + kSo, kHyou + kSo, 0},
        {"broken UTF-8 compares byte by byte", kUtf8, "\xFF", "\xFE", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int result = c.codePage.CompareNames(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.expectedSign);
        const int reverse = c.codePage.CompareNames(c.b, c.a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.expectedSign);
    }
}

}  // namespace
