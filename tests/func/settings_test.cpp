#include "func/settings.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/temp_folder.h"
#include "support/traced_child.h"

namespace {

using Entries = std::vector<std::string>;
using functest::ReadBytes;
using functest::WriteFile;

constexpr const char* kDefaultForm =
    "[DOPPLETF]\r\n"
    "posX=0\r\n"
    "posY=0\r\n"
    "width=640\r\n"
    "height=480\r\n"
    "Priority=32\r\n"
    "Compare_Mode=0\r\n";

class SettingsFile : public ::testing::Test {
  protected:
    // Loads `text` as the settings file and saves what was loaded straight back.
    func::Settings LoadAndSave(const std::string& text) {
        WriteFile(m_path, text);
        const func::Settings settings = func::LoadSettings(m_path);
        const func::SaveResult result = func::SaveSettings(m_path, settings);
        EXPECT_FALSE(result.Error) << result.Message;
        return settings;
    }

    functest::TempFolder m_folder;
    const std::string m_path = m_folder / "dopplet.INI";
};

TEST_F(SettingsFile, WithoutAFileLoadsTheDefaultsAndSavesTheFormSectionOnly) {
    const func::Settings settings = func::LoadSettings(m_path);
    EXPECT_EQ(settings.PosX, 0);
    EXPECT_EQ(settings.PosY, 0);
    EXPECT_EQ(settings.Width, 640);
    EXPECT_EQ(settings.Height, 480);
    EXPECT_EQ(settings.PriorityClass, 32);
    EXPECT_EQ(settings.CompareModeSetting, 0);
    EXPECT_TRUE(settings.NoDelList.empty());

    ASSERT_FALSE(func::SaveSettings(m_path, settings).Error);
    EXPECT_EQ(ReadBytes(m_path), kDefaultForm);
}

TEST_F(SettingsFile, SavesTheLayoutExampleExactly) {
    func::Settings settings;
    settings.PosX = 194;
    settings.PosY = 111;
    settings.Width = 717;
    settings.Height = 505;
    settings.NoDelList = {"/SRV/ARCHIVE", "/HOME/PROGRAM FILES"};
    ASSERT_FALSE(func::SaveSettings(m_path, settings).Error);
    EXPECT_EQ(ReadBytes(m_path),
              "[DOPPLETF]\r\n"
              "posX=194\r\n"
              "posY=111\r\n"
              "width=717\r\n"
              "height=505\r\n"
              "Priority=32\r\n"
              "Compare_Mode=0\r\n"
              "[DOPPLETD]\r\n"
              "NODEL00001=/HOME/PROGRAM FILES\r\n"
              "NODEL00002=/SRV/ARCHIVE\r\n");
    const func::Settings loaded = func::LoadSettings(m_path);
    EXPECT_EQ(loaded.PosX, 194);
    EXPECT_EQ(loaded.Height, 505);
    EXPECT_EQ(loaded.NoDelList, (Entries{"/HOME/PROGRAM FILES", "/SRV/ARCHIVE"}));
}

TEST_F(SettingsFile, ReadsEachNumberOrItsDefault) {
    struct Case {
        const char* line;
        std::int32_t func::Settings::*field;
        std::int32_t expected;
        const char* savedLine;
    };
    const Case cases[] = {
        {"Priority=0x100", &func::Settings::PriorityClass, 256, "Priority=256"},
        {"width=abc", &func::Settings::Width, 640, "width=640"},
        {"Compare_Mode=7", &func::Settings::CompareModeSetting, 7, "Compare_Mode=7"},
        {"posX=-4", &func::Settings::PosX, -4, "posX=-4"},
        {"POSY = 12 ", &func::Settings::PosY, 12, "POSY=12"},
        {"height=", &func::Settings::Height, 480, "height=480"},
        {"height=0x", &func::Settings::Height, 480, "height=480"},
        {"width=1", &func::Settings::Width, 1, "width=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const func::Settings settings =
            LoadAndSave(std::string("[doppletf]\r\n") + c.line + "\r\n");
        EXPECT_EQ(settings.*c.field, c.expected);
        // The key keeps its place and the spelling of its name; the others follow in order.
        EXPECT_EQ(ReadBytes(m_path).find(std::string("\r\n") + c.savedLine + "\r\n"),
                  std::string("[doppletf]").size());
    }
}

TEST_F(SettingsFile, WritesTheKeepRuleOnlyOnceItWasChosen) {
    struct Case {
        const char* name;
        std::string file;
        std::int32_t set;  // -1: keep what was loaded
        std::int32_t loaded;
        bool written;
        const char* savedLine;
    };
    const Case cases[] = {
        {"an older file", "[DOPPLETF]\r\nposX=1\r\n", -1, 0, false, ""},
        {"chosen now", "[DOPPLETF]\r\nposX=1\r\n", 2, 0, true, "KeepRule=2"},
        {"stored", "[DOPPLETF]\r\nKeepRule=3\r\n", -1, 3, true, "KeepRule=3"},
        {"set back to the default", "[DOPPLETF]\r\nKeepRule=1\r\n", 0, 1, true, "KeepRule=0"},
        {"a newer version's rule", "[DOPPLETF]\r\nKeepRule=9\r\n", -1, 9, true, "KeepRule=9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(m_path, c.file);
        func::Settings settings = func::LoadSettings(m_path);
        EXPECT_EQ(settings.KeepRuleSetting, c.loaded);
        if (c.set >= 0) {
            settings.KeepRuleSetting = c.set;
        }
        ASSERT_FALSE(func::SaveSettings(m_path, settings).Error);
        const std::string saved = ReadBytes(m_path);
        EXPECT_EQ(saved.find("KeepRule") != std::string::npos, c.written);
        if (c.written) {
            EXPECT_NE(saved.find(std::string("\r\n") + c.savedLine + "\r\n"), std::string::npos);
        }
    }
}

TEST_F(SettingsFile, WritesAnOddCompareModeBackUnchanged) {
    LoadAndSave("[DOPPLETF]\r\nCompare_Mode=7\r\n");
    EXPECT_EQ(ReadBytes(m_path),
              "[DOPPLETF]\r\n"
              "Compare_Mode=7\r\n"
              "posX=0\r\n"
              "posY=0\r\n"
              "width=640\r\n"
              "height=480\r\n"
              "Priority=32\r\n");
}

// Files that look damaged: every entry that can be read survives the next save, and the file
// that is written is plain text in one encoding.
TEST_F(SettingsFile, KeepsEveryReadableEntryOfAFileThatLooksDamaged) {
    const std::string list = "[DOPPLETD]\r\nNODEL00001=/A\r\nNODEL00002=/B\r\n";
    const auto utf16 = [](const std::string& text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char ch : text) {  // ASCII only
            bytes += bigEndian ? std::string{'\0', ch} : std::string{ch, '\0'};
        }
        return bytes;
    };
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"an empty value in the list",
         "[DOPPLETD]\r\nNODEL00001=/a\r\nNODEL00002=\r\nNODEL00003=/b\r\n"},
        {"the list section twice",
         "[DOPPLETD]\r\nNODEL00001=/A\r\n[DOPPLETF]\r\n[dopplETD]\r\nNODEL00001=/B\r\n"},
        {"lines that end in CR alone",
         "[DOPPLETF]\rposX=0\r[DOPPLETD]\rNODEL00001=/A\rNODEL00002=/B\r"},
        {"UTF-16, little-endian", utf16(list, false)},
        {"UTF-16, big-endian", utf16(list, true)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const func::Settings settings = LoadAndSave(c.text);
        EXPECT_EQ(settings.NoDelList, (Entries{"/A", "/B"}));
        EXPECT_EQ(ReadBytes(m_path),
                  std::string(kDefaultForm) + "[DOPPLETD]\r\nNODEL00001=/A\r\nNODEL00002=/B\r\n");
    }
}

TEST_F(SettingsFile, KeepsAFileThatIsNoSettingsFileAsideBeforeWritingANewOne) {
    const std::string binary(
        "\x7F"
        "ELF\0\0\x01[DOPPLETD]\r\nNODEL00001=/X\r\n",
        30);
    WriteFile(m_path, binary);
    WriteFile(m_path + ".bad", "kept from before");
    const func::LoadedSettings loaded = func::ReadSettingsFile(m_path);
    EXPECT_EQ(loaded.State, func::SettingsFileState::NotSettings);
    EXPECT_TRUE(loaded.Values.NoDelList.empty());

    func::Settings settings;
    settings.NoDelList = {"/A"};
    const func::SaveResult result = func::SaveSettings(m_path, settings);
    ASSERT_FALSE(result.Error) << result.Message;
    EXPECT_EQ(result.KeptAside, m_path + ".bad2");
    EXPECT_EQ(ReadBytes(m_path + ".bad2"), binary);
    EXPECT_EQ(ReadBytes(m_path + ".bad"), "kept from before");
    EXPECT_EQ(ReadBytes(m_path), std::string(kDefaultForm) + "[DOPPLETD]\r\nNODEL00001=/A\r\n");
}

// NUL bytes stand in a file that a crash or a failing disk damaged: every entry that can still be
// read is loaded, the damaged file is kept aside whole, and the new file holds what was loaded.
TEST_F(SettingsFile, LoadsEveryReadableEntryOfADamagedFileAndKeepsTheFileAside) {
    const std::string zeros(4096, '\0');
    struct Case {
        const char* name;
        std::string text;
        Entries expected;
    };
    const Case cases[] = {
        {"zeros after the end",
         "[DOPPLETD]\r\nNODEL00001=/A\r\nNODEL00002=/B\r\n" + zeros,
         {"/A", "/B"}},
        {"zeros inside the list",
         "[DOPPLETD]\r\nNODEL00001=/A\r\nNODEL00002=/B" + zeros + "\r\nNODEL00003=/C\r\n",
         {"/A", "/B", "/C"}},
        // The rest of a line cut by the damage gives nothing; the lines after it count.
        {"zeros over part of two lines",
         "[DOPPLETD]\r\nNODEL00001=/A\r\nNODEL00002=/DA" + zeros + "TA\r\nNODEL00003=/C\r\n",
         {"/A", "/C", "/DA"}},
        {"a zero in place of a line break",
         "[DOPPLETD]\r\nNODEL00001=/A" + std::string(1, '\0') + "NODEL00002=/B\r\n",
         {"/A", "/B"}},
        {"zeros before the list", zeros + "\r\n[DOPPLETD]\r\nNODEL00001=/A\r\n", {"/A"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        functest::TempFolder folder;
        const std::string path = folder / "dopplet.INI";
        WriteFile(path, "[DOPPLETF]\r\nposX=7\r\n" + c.text);
        const func::LoadedSettings loaded = func::ReadSettingsFile(path);
        EXPECT_EQ(loaded.State, func::SettingsFileState::NotSettings);
        EXPECT_EQ(loaded.Values.PosX, 7);
        EXPECT_EQ(loaded.Values.NoDelList, c.expected);

        const func::SaveResult result = func::SaveSettings(path, loaded.Values);
        ASSERT_FALSE(result.Error) << result.Message;
        EXPECT_EQ(result.KeptAside, path + ".bad");
        EXPECT_EQ(ReadBytes(path + ".bad"), "[DOPPLETF]\r\nposX=7\r\n" + c.text);
        EXPECT_EQ(func::ReadSettingsFile(path).State, func::SettingsFileState::Read);
        EXPECT_EQ(func::LoadSettings(path).NoDelList, c.expected);
    }
}

// Another program may take the name "<path>.bad" between the moment the save finds it free and
// the moment it moves the damaged file there: that file must not be replaced.
TEST_F(SettingsFile, KeepingADamagedFileAsideNeverReplacesAFileThatTookItsNameMeanwhile) {
    const std::string damaged("[DOPPLETD]\r\nNODEL00001=/X\r\n\0\0", 28);
    WriteFile(m_path, damaged);
    const std::string other = m_path + ".bad";
    const functest::TraceResult result = functest::RunTraced(
        [&] {
            func::Settings settings;
            settings.NoDelList = {"/X"};
            return func::SaveSettings(m_path, settings).Error ? 1 : 0;
        },
        [&](const functest::SystemCallStop& stop) {
            // Just before the save's first rename: the name is taken.
            if (stop.Entry && functest::GivesAName(stop.Number) && !platform::Exists(other)) {
                WriteFile(other, "another program's file");
            }
            return functest::TraceAction::Continue;
        });
    if (!result.Failure.empty()) {
        GTEST_SKIP() << result.Failure;
    }
    EXPECT_EQ(result.ExitCode, 0);
    EXPECT_EQ(ReadBytes(other), "another program's file");
    EXPECT_EQ(ReadBytes(m_path + ".bad2"), damaged);
    EXPECT_EQ(ReadBytes(m_path), std::string(kDefaultForm) + "[DOPPLETD]\r\nNODEL00001=/X\r\n");
}

TEST_F(SettingsFile, ReadsEveryKeyOfTheListInFileOrderAndRenumbersThem) {
    const func::Settings settings =
        LoadAndSave("[DOPPLETD]\r\nX=/tmp\r\nNODEL00001=/DATA\r\n[Other]\r\nk=v\r\n");
    EXPECT_EQ(settings.NoDelList, (Entries{"/DATA", "/TMP"}));
    EXPECT_EQ(ReadBytes(m_path), "[Other]\r\nk=v\r\n" + std::string(kDefaultForm) +
                                     "[DOPPLETD]\r\nNODEL00001=/DATA\r\nNODEL00002=/TMP\r\n");
}

TEST_F(SettingsFile, WritesARepeatedEntryOnceAndAnEmptyListAsNoSection) {
    func::Settings settings;
    settings.NoDelList = {"/WORK", "/WORK", " ", ""};
    ASSERT_FALSE(func::SaveSettings(m_path, settings).Error);
    EXPECT_EQ(ReadBytes(m_path), std::string(kDefaultForm) + "[DOPPLETD]\r\nNODEL00001=/WORK\r\n");

    settings.NoDelList.clear();
    ASSERT_FALSE(func::SaveSettings(m_path, settings).Error);
    EXPECT_EQ(ReadBytes(m_path), kDefaultForm);
}

TEST_F(SettingsFile, KeepsBlanksAroundAnEntryInTheFileButNotAfterARestart) {
    func::Settings settings;
    settings.NoDelList = {" /X "};
    ASSERT_FALSE(func::SaveSettings(m_path, settings).Error);
    EXPECT_EQ(ReadBytes(m_path), std::string(kDefaultForm) + "[DOPPLETD]\r\nNODEL00001= /X \r\n");
    EXPECT_EQ(func::LoadSettings(m_path).NoDelList, Entries{"/X"});
}

TEST_F(SettingsFile, StoresAnEntryWithLineBreaksAsOneEntryPerLine) {
    func::Settings settings;
    settings.NoDelList = {"/A", "/B\r\n/C\n", "/D"};
    ASSERT_FALSE(func::SaveSettings(m_path, settings).Error);
    EXPECT_EQ(ReadBytes(m_path), std::string(kDefaultForm) +
                                     "[DOPPLETD]\r\nNODEL00001=/A\r\nNODEL00002=/B\r\n"
                                     "NODEL00003=/C\r\nNODEL00004=/D\r\n");
}

TEST_F(SettingsFile, KeepsLongListsAndLongEntriesWhole) {
    func::Settings settings;
    for (int i = 0; i < 2000; ++i) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "/DATA/%05d", i);
        settings.NoDelList.push_back(entry);
    }
    const std::string longEntry = "/" + std::string(5000, 'L');
    settings.NoDelList.push_back(longEntry);
    ASSERT_FALSE(func::SaveSettings(m_path, settings).Error);

    const func::Settings loaded = func::LoadSettings(m_path);
    ASSERT_EQ(loaded.NoDelList.size(), 2001u);
    EXPECT_EQ(loaded.NoDelList.front(), "/DATA/00000");
    EXPECT_EQ(loaded.NoDelList[1999], "/DATA/01999");
    EXPECT_TRUE(loaded.NoDelList.back() == longEntry) << loaded.NoDelList.back().size() << " bytes";
}

TEST_F(SettingsFile, MovesTheListSectionToTheEndAndMergesRepeatedListSections) {
    LoadAndSave(
        "[DOPPLETD]\r\nNODEL00001=/A\r\n[DOPPLETF]\r\nposX=3\r\n[dopplETD]\r\nNODEL00001=/B\r\n");
    EXPECT_EQ(ReadBytes(m_path),
              "[DOPPLETF]\r\nposX=3\r\nposY=0\r\nwidth=640\r\nheight=480\r\nPriority=32\r\n"
              "Compare_Mode=0\r\n[DOPPLETD]\r\nNODEL00001=/A\r\nNODEL00002=/B\r\n");
}

TEST_F(SettingsFile, CreatesAMissingFolder) {
    const std::string path = m_folder / "config/Dopplet/dopplet.INI";
    ASSERT_FALSE(func::SaveSettings(path, func::Settings()).Error);
    EXPECT_EQ(ReadBytes(path), kDefaultForm);
}

TEST_F(SettingsFile, AFailedSaveReportsThePathAndLeavesTheOldFile) {
    const std::string folder = m_folder / "readonly";
    const std::string path = folder + "/dopplet.INI";
    WriteFile(path, "[DOPPLETF]\r\nposX=5\r\n");
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    const std::string failure = functest::RunWithoutPrivileges([&]() -> std::string {
        func::Settings settings;
        settings.PosX = 9;
        settings.NoDelList = {"/A"};
        const func::SaveResult result = func::SaveSettings(path, settings);
        if (!result.Error) {
            return "the save did not fail";
        }
        if (result.Message != path + " に書き込めません") {
            return "message: " + result.Message;
        }
        return ReadBytes(path) == "[DOPPLETF]\r\nposX=5\r\n" ? "" : "the old file changed";
    });
    EXPECT_EQ(failure, "");
    EXPECT_EQ(functest::NamesIn(folder), std::vector<std::string>{"dopplet.INI"});
}

TEST_F(SettingsFile, SaysThatAFileCannotBeReadAndReplacesItOnlyWhenTold) {
    WriteFile(m_path, "[Mine]\r\nkeep=1\r\n");
    ASSERT_EQ(chmod(m_path.c_str(), 0600), 0);
    ASSERT_EQ(chmod(m_folder.Root().c_str(), 0777), 0);
    ASSERT_EQ(chmod(m_path.c_str(), 0222), 0);
    const std::string failure = functest::RunWithoutPrivileges([&]() -> std::string {
        const func::LoadedSettings loaded = func::ReadSettingsFile(m_path);
        if (loaded.State != func::SettingsFileState::Unreadable ||
            loaded.Error != std::errc::permission_denied || loaded.Values.Width != 640) {
            return "not told as unreadable";
        }
        if (!func::SaveSettings(m_path, func::Settings()).Error) {
            return "the unreadable file was replaced unasked";
        }
        const func::SaveResult replaced = func::SaveSettings(
            m_path, func::Settings(), platform::SystemCodePage(), func::UnreadableFile::Replace);
        return replaced.Error ? "not replaced when told: " + replaced.Message : "";
    });
    EXPECT_EQ(failure, "");
    EXPECT_EQ(ReadBytes(m_path), kDefaultForm);
}

TEST_F(SettingsFile, TellsAMissingFileFromAReadOne) {
    EXPECT_EQ(func::ReadSettingsFile(m_path).State, func::SettingsFileState::Missing);
    WriteFile(m_path, "");
    EXPECT_EQ(func::ReadSettingsFile(m_path).State, func::SettingsFileState::Read);
}

TEST_F(SettingsFile, AFolderInPlaceOfTheFileGivesTheWriteError) {
    WriteFile(m_path + "/inside", "x");
    const func::SaveResult result = func::SaveSettings(m_path, func::Settings());
    EXPECT_TRUE(result.Error);
    EXPECT_EQ(result.Message, m_path + " に書き込めません");
}

}  // namespace

namespace {

TEST_F(SettingsFile, ReadsEachFilterValueOrItsDefault) {
    using Filter = func::SearchFilterSettings;
    struct Case {
        const char* Lines;
        std::int64_t MinSize;
        std::int64_t MaxSize;
        bool EmptyFiles;
        bool HiddenFiles;
    };
    const Case cases[] = {
        {"", 0, Filter::kNoLimit, true, true},
        {"Min_Size=1048576\r\nMax_Size=8589934592\r\n", 1048576, 8589934592, true, true},
        {"Min_Size= 10 \r\nMax_Size=0\r\n", 10, 0, true, true},
        {"Min_Size=-5\r\nMax_Size=-7\r\n", 0, Filter::kNoLimit, true, true},
        {"Min_Size=1M\r\nMax_Size=abc\r\n", 0, Filter::kNoLimit, true, true},
        {"Min_Size=99999999999999999999\r\n", 0, Filter::kNoLimit, true, true},
        {"Empty_Files=0\r\nHidden_Files=0\r\n", 0, Filter::kNoLimit, false, false},
        {"Empty_Files=x\r\nHidden_Files=2\r\n", 0, Filter::kNoLimit, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Lines);
        WriteFile(m_path, std::string("[DOPPLETS]\r\n") + c.Lines);
        const Filter filter = func::LoadSettings(m_path).Filter;
        EXPECT_EQ(filter.MinSize, c.MinSize);
        EXPECT_EQ(filter.MaxSize, c.MaxSize);
        EXPECT_EQ(filter.EmptyFiles, c.EmptyFiles);
        EXPECT_EQ(filter.HiddenFiles, c.HiddenFiles);
    }
}

TEST_F(SettingsFile, StoresOnlyTheFilterValuesThatDifferFromTheDefaults) {
    func::Settings settings;
    settings.Filter.MinSize = 1048576;
    settings.Filter.HiddenFiles = false;
    settings.Filter.ExcludeList = {"node_modules", "*.tmp", "", "*.tmp", ".git\nbuild"};
    ASSERT_FALSE(func::SaveSettings(m_path, settings).Error);
    EXPECT_EQ(ReadBytes(m_path), std::string(kDefaultForm) +
                                     "[DOPPLETS]\r\n"
                                     "Min_Size=1048576\r\n"
                                     "Hidden_Files=0\r\n"
                                     "[DOPPLETX]\r\n"
                                     "EXCLUDE00001=*.tmp\r\n"
                                     "EXCLUDE00002=.git\r\n"
                                     "EXCLUDE00003=build\r\n"
                                     "EXCLUDE00004=node_modules\r\n");
    const func::Settings loaded = func::LoadSettings(m_path);
    EXPECT_EQ(loaded.Filter.MinSize, 1048576);
    EXPECT_EQ(loaded.Filter.MaxSize, func::SearchFilterSettings::kNoLimit);
    EXPECT_TRUE(loaded.Filter.EmptyFiles);
    EXPECT_FALSE(loaded.Filter.HiddenFiles);
    EXPECT_EQ(loaded.Filter.ExcludeList, (Entries{"*.tmp", ".git", "build", "node_modules"}));

    // Back at the defaults, nothing of the filter stays in the file.
    ASSERT_FALSE(func::SaveSettings(m_path, func::Settings{}).Error);
    EXPECT_EQ(ReadBytes(m_path), kDefaultForm);
}

TEST_F(SettingsFile, KeepsThePatternsCaseAndReadsEveryKeyOfTheirSection) {
    WriteFile(m_path, "[DOPPLETX]\r\nX=Thumbs.db\r\nEXCLUDE00001=\r\nEXCLUDE00002=*.TMP\r\n");
    EXPECT_EQ(func::LoadSettings(m_path).Filter.ExcludeList, (Entries{"*.TMP", "Thumbs.db"}));
}

}  // namespace
