#include "func/profile_file.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace {

using func::ProfileFile;

ProfileFile Parsed(const std::string& text) {
    ProfileFile profile;
    profile.Parse(text);
    return profile;
}

TEST(ParseWholeNumber, AcceptsDecimalAndHexadecimalOnly) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"194", 194},
        {"-4", -4},
        {"+7", 7},
        {"007", 7},
        {"  12 ", 12},
        {"0x100", 256},
        {"0X1f", 31},
        {"0xFFFFFFFF", -1},
        {"2147483647", std::numeric_limits<std::int32_t>::max()},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", std::nullopt},
        {"0x100000000", std::nullopt},
        {"0x", std::nullopt},
        {"0xG1", std::nullopt},
        {"-0x10", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"12a", std::nullopt},
        {"1.5", std::nullopt},
        {"1 2", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text: \"") + c.text + "\"");
        EXPECT_EQ(func::ParseWholeNumber(c.text), c.expected);
    }
}

TEST(ProfileFile, ReadsValuesAsTheWindowsProfileFunctionsDo) {
    const ProfileFile profile = Parsed(
        "; a comment\r\n"
        "loose=line before any section\r\n"
        "[Form]\r\n"
        "  posX = 5 \r\n"
        "NoValue\r\n"
        "Path=a=b\r\n"
        "posX=6\r\n"
        "[ Other ]\n"
        "posX=7\n"
        "[form]\r\n"
        "Later=1\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"Form", "posX", "5"},           // blanks around name and value ignored, first key counts
        {"FORM", "POSX", "5"},           // case does not matter
        {"Form", "Path", "a=b"},         // the first "=" separates
        {"Form", "NoValue", "default"},  // a key without "=" gives the default
        {"Form", "Missing", "default"},
        {"Other", "posX", "7"},        // blanks inside brackets ignored, LF line ends read
        {"Form", "Later", "default"},  // a repeated section is not consulted
        {"Nowhere", "posX", "default"},
        {"", "loose", "default"},  // lines before the first section belong to none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(profile.ReadString(c.section, c.key, "default"), c.expected);
    }
    EXPECT_EQ(profile.ReadInteger("form", "posx", 0), 5);
    EXPECT_EQ(profile.ReadInteger("Form", "Path", 42), 42);
}

TEST(ProfileFile, ListsTheValuesOfEverySectionOfTheNameInFileOrder) {
    const ProfileFile profile = Parsed(
        "[List]\r\n"
        "NODEL00002=b\r\n"
        "\r\n"
        "; note\r\n"
        "X= c \r\n"
        "Bare\r\n"
        "NODEL00001=a\r\n"
        "x=repeated\r\n"
        "[Next]\r\n"
        "Y=d\r\n"
        "[LIST]\r\n"
        "Z=e\r\n");
    EXPECT_EQ(profile.ValuesOfEverySection("list"),
              (std::vector<std::string>{"b", "c", "", "a", "repeated", "e"}));
    EXPECT_TRUE(profile.ValuesOfEverySection("Missing").empty());
}

TEST(ProfileFile, ReplacesASectionAtTheEndOfTheFile) {
    using Keys = std::vector<std::pair<std::string, std::string>>;
    ProfileFile profile = Parsed("[L]\r\nX=old\r\n[F]\r\nA=1\r\n[l]\r\nY=old\r\n");
    EXPECT_FALSE(profile.ReplaceSection("L", Keys{{"K1", "a"}, {"K2", "b"}}));
    EXPECT_EQ(profile.Text(), "[F]\r\nA=1\r\n[L]\r\nK1=a\r\nK2=b\r\n");

    EXPECT_EQ(profile.ReplaceSection("L", Keys{{"K1", "a\nK2=x"}}), std::errc::invalid_argument);
    EXPECT_EQ(profile.Text(), "[F]\r\nA=1\r\n[L]\r\nK1=a\r\nK2=b\r\n");

    EXPECT_FALSE(profile.ReplaceSection("l", Keys{}));
    EXPECT_EQ(profile.Text(), "[F]\r\nA=1\r\n");
}

TEST(ProfileFile, WritesKeysAndSectionsInTheirPlaces) {
    struct Case {
        const char* name;
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    };
    const Case cases[] = {
        {"first write creates the section", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"existing key keeps its place and name", "[S]\r\nA=1\r\nB=2\r\nC=3\r\n", "s", "b", "9",
         "[S]\r\nA=1\r\nB=9\r\nC=3\r\n"},
        {"new key at the end of its section", "[S]\r\nA=1\r\n\r\n[T]\r\nX=1\r\n", "S", "C", "3",
         "[S]\r\nA=1\r\nC=3\r\n\r\n[T]\r\nX=1\r\n"},
        {"new key in an empty section", "[S]\r\n[T]\r\n", "S", "A", "1", "[S]\r\nA=1\r\n[T]\r\n"},
        {"new section at the end of the file", "[S]\r\nA=1\r\n", "T", "B", "2",
         "[S]\r\nA=1\r\n[T]\r\nB=2\r\n"},
        {"untouched lines keep their text, line ends become CR LF",
         "[S]\n  posX = 5 \n; note\nA=1\n", "S", "A", "2",
         "[S]\r\n  posX = 5 \r\n; note\r\nA=2\r\n"},
        {"a key without a value gets one", "[S]\r\nBare\r\n", "S", "Bare", "1",
         "[S]\r\nBare=1\r\n"},
        {"blanks of a value are written", "", "S", "A", " x ", "[S]\r\nA= x \r\n"},
        {"byte order mark kept", "\xEF\xBB\xBF[S]\r\nA=1\r\n", "S", "A", "2",
         "\xEF\xBB\xBF[S]\r\nA=2\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProfileFile profile = Parsed(c.before);
        EXPECT_FALSE(profile.WriteString(c.section, c.key, c.value));
        EXPECT_EQ(profile.Text(), c.after);
    }
}

TEST(ProfileFile, WritesIntegersAsSignedDecimal) {
    ProfileFile profile;
    profile.WriteInteger("S", "posX", -4);
    profile.WriteInteger("S", "Priority", 256);
    EXPECT_EQ(profile.Text(), "[S]\r\nposX=-4\r\nPriority=256\r\n");
}

// A NUL byte would make the whole file one that the loader refuses, and every setting in it lost.
TEST(ProfileFile, RefusesAValueWithALineBreakOrANulByte) {
    using Keys = std::vector<std::pair<std::string, std::string>>;
    ProfileFile profile = Parsed("[S]\r\nA=1\r\n");
    EXPECT_EQ(profile.WriteString("S", "A", "x\r\nB=2"), std::errc::invalid_argument);
    EXPECT_EQ(profile.WriteString("S", "C", "x\ny"), std::errc::invalid_argument);
    EXPECT_EQ(profile.WriteString("S", "D", std::string("x\0y", 3)), std::errc::invalid_argument);
    EXPECT_EQ(profile.ReplaceSection("L", Keys{{"K1", std::string("/a\0", 3)}}),
              std::errc::invalid_argument);
    EXPECT_EQ(profile.Text(), "[S]\r\nA=1\r\n");
}

TEST(ProfileFile, ErasesEverySectionOfTheNameWithAllItsLines) {
    ProfileFile profile = Parsed(
        "[Keep]\r\nA=1\r\n[Gone]\r\nX=1\r\n\r\n; note\r\n[KEEP2]\r\nB=2\r\n[gone]\r\nY=2\r\n");
    profile.EraseSection("GONE");
    EXPECT_EQ(profile.Text(), "[Keep]\r\nA=1\r\n[KEEP2]\r\nB=2\r\n");
    profile.EraseSection("Missing");
    EXPECT_EQ(profile.Text(), "[Keep]\r\nA=1\r\n[KEEP2]\r\nB=2\r\n");
    EXPECT_EQ(profile.ReadString("Gone", "X", "none"), "none");
}

TEST(ProfileFile, NamesCompareWithoutCaseOnlyForSingleByteLetters) {
    // 0x83 0x61 and 0x83 0x41 are two different Shift JIS characters: not the same key.
    const platform::CodePage shiftJis(platform::CodePage::Kind::ShiftJis);
    ProfileFile profile(shiftJis);
    profile.Parse("[S]\r\nK\x83\x61=1\r\n");
    EXPECT_EQ(profile.ReadString("s", "k\x83\x61", ""), "1");
    EXPECT_EQ(profile.ReadString("S", "K\x83\x41", "none"), "none");
}

TEST(ProfileFileOnDisk, LoadsAMissingFileAsEmptyAndSavesWithCrLf) {
    functest::TempFolder folder;
    const std::string path = folder / "dopplet.INI";
    ProfileFile profile;
    profile.Parse("[S]\r\nOld=1\r\n");
    EXPECT_FALSE(func::LoadProfileFile(path, profile));
    EXPECT_EQ(profile.Text(), "");

    functest::WriteFile(path, "[S]\nA=1\n");
    ASSERT_FALSE(func::LoadProfileFile(path, profile));
    profile.WriteInteger("S", "B", 2);
    ASSERT_FALSE(func::SaveProfileFile(path, profile));
    EXPECT_EQ(functest::ReadBytes(path), "[S]\r\nA=1\r\nB=2\r\n");
}

TEST(ProfileFileOnDisk, ReportsAFileThatCannotBeRead) {
    functest::TempFolder folder;
    ProfileFile profile;
    EXPECT_TRUE(func::LoadProfileFile(folder.Root(), profile));  // a folder, not a file
}

}  // namespace
