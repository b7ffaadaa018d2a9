#include "func/settings_location.h"
#include "func/settings.h"
#include "platform/file_system.h"
#include "platform/system_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace {

TEST(SettingsFileBesideProgram, ReplacesOrAddsTheExtension) {
    struct Case {
        const char* program;
        const char* expected;
    };
    const Case cases[] = {
        {"/usr/local/bin/dopplet", "/usr/local/bin/dopplet.INI"},
        {"/opt/tools/dopplet.exe", "/opt/tools/dopplet.INI"},
        {"/opt/v1.2/dopplet", "/opt/v1.2/dopplet.INI"},
        {"/opt/a/dopplet.tar.gz", "/opt/a/dopplet.tar.INI"},
        {"dopplet", "dopplet.INI"},
        {"/opt/デュプ/ドップ.bin", "/opt/デュプ/ドップ.INI"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        EXPECT_EQ(func::SettingsFileBesideProgram(c.program), c.expected);
    }
}

TEST(IniFileName, IsBesideTheProgramWhenItsFolderIsWritable) {
    functest::TempFolder folder;
    EXPECT_EQ(func::IniFileName(folder / "dopplet", folder / "config"), folder / "dopplet.INI");
}

TEST(IniFileName, FallsBackToTheConfigurationFolderOtherwise) {
    functest::TempFolder folder;
    const std::string programFolder = folder / "bin";
    functest::WriteFile(programFolder + "/dopplet", "");
    ASSERT_EQ(chmod(programFolder.c_str(), 0555), 0);
    const std::string fallback = folder / "config/Dopplet";
    const std::string failure = functest::RunWithoutPrivileges([&]() -> std::string {
        const std::string a = func::IniFileName(programFolder + "/dopplet", fallback);
        const std::string b = func::IniFileName(programFolder + "/dopplet", fallback + "/");
        const std::string expected = fallback + "/dopplet.INI";
        return a == expected && b == expected ? "" : "got " + a + " and " + b;
    });
    EXPECT_EQ(failure, "");
}

// A settings file beside the program keeps the must-not-delete list even when the program's
// folder may not be written: it is read, and rewritten in place; no second file appears.
TEST(IniFileName, UsesTheFileBesideTheProgramEvenWhereItsFolderMayNotBeWritten) {
    functest::TempFolder folder;
    const std::string programFolder = folder / "bin";
    const std::string beside = programFolder + "/dopplet.INI";
    functest::WriteFile(programFolder + "/dopplet", "");
    functest::WriteFile(beside, "[DOPPLETD]\r\nNODEL00001=/KEEP\r\n");
    ASSERT_EQ(chmod(beside.c_str(), 0666), 0);
    ASSERT_EQ(chmod(programFolder.c_str(), 0555), 0);
    const std::string failure = functest::RunWithoutPrivileges([&]() -> std::string {
        const std::string path = func::IniFileName(programFolder + "/dopplet", folder / "config");
        if (path != beside) {
            return "got " + path;
        }
        func::Settings settings = func::LoadSettings(path);
        if (settings.NoDelList != std::vector<std::string>{"/KEEP"}) {
            return "the list was not read";
        }
        settings.NoDelList.push_back("/MORE");
        const func::SaveResult saved = func::SaveSettings(path, settings);
        return saved.Error ? saved.Message : "";
    });
    EXPECT_EQ(failure, "");
    EXPECT_EQ(func::LoadSettings(beside).NoDelList, (std::vector<std::string>{"/KEEP", "/MORE"}));
    EXPECT_EQ(functest::NamesIn(programFolder),
              (std::vector<std::string>{"dopplet", "dopplet.INI"}));
    EXPECT_FALSE(platform::Exists(folder / "config"));
}

TEST(IniFileName, NeverMakesOneBesideAProgramInstalledUnderASystemPrefix) {
    // Names that no package has, so that no settings file is beside them; /usr/bin and
    // /usr/local/bin are writable when the tests run as root, as under sudo.
    const std::string name = "dopplet-location-test-" + std::to_string(getpid());
    const std::string fallback = "/home/someone/.config/dopplet";
    for (const std::string folder : {"/usr/bin", "/usr/local/bin", "/opt/dopplet/bin", "/usr"}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(func::IniFileName(folder + "/" + name, fallback), fallback + "/" + name + ".INI");
    }
}

TEST(IsUnderSystemPrefix, NamesTheFoldersThatPackagesInstallInto) {
    struct Case {
        const char* path;
        bool expected;
    };
    const Case cases[] = {
        {"/usr/bin/dopplet", true},     {"/usr/local/bin/dopplet", true},
        {"/opt/dopplet/dopplet", true}, {"/bin/dopplet", true},
        {"/sbin/dopplet", true},        {"/home/me/usr/bin/dopplet", false},
        {"/usrlocal/dopplet", false},   {"/optional/dopplet", false},
        {"/tmp/dopplet", false},        {"dopplet", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(platform::IsUnderSystemPrefix(c.path), c.expected);
    }
}

class ConfigFolderEnvironment : public ::testing::Test {
  protected:
    void SetUp() override {
        m_configHome = Get("XDG_CONFIG_HOME");
        m_home = Get("HOME");
    }
    void TearDown() override {
        Restore("XDG_CONFIG_HOME", m_configHome);
        Restore("HOME", m_home);
    }

    static void Set(const char* name, const char* value) {
        Restore(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }

  private:
    static std::optional<std::string> Get(const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }

    std::optional<std::string> m_configHome;
    std::optional<std::string> m_home;
};

TEST_F(ConfigFolderEnvironment, UsesXdgConfigHomeWhenItIsAnAbsolutePath) {
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "/custom/config", 1);
    EXPECT_EQ(platform::UserConfigFolder(), "/custom/config");
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(platform::UserConfigFolder(), "/home/someone/.config");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(platform::UserConfigFolder(), "/home/someone/.config");
}

// The folder of the settings file when it is not beside the program, as the window asks for it.
// A relative $XDG_CONFIG_HOME names no folder: the file would move with the current folder.
TEST_F(ConfigFolderEnvironment, PutsTheUserSettingsFolderInTheConfigurationFolder) {
    struct Case {
        const char* home;        // nullptr: not set
        const char* configHome;  // nullptr: not set
        const char* expected;
    };
    const Case cases[] = {
        {"/home/someone", "/custom/config", "/custom/config/dopplet"},
        {"/home/someone", "/custom/config/", "/custom/config/dopplet"},
        {"/home/someone", nullptr, "/home/someone/.config/dopplet"},
        {"/home/someone", "", "/home/someone/.config/dopplet"},
        {"/home/someone", "relative", "/home/someone/.config/dopplet"},
        {nullptr, nullptr, "/.config/dopplet"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.home ? c.home : "(no HOME)") + " " +
                     (c.configHome ? c.configHome : "(no XDG_CONFIG_HOME)"));
        Set("HOME", c.home);
        Set("XDG_CONFIG_HOME", c.configHome);
        EXPECT_EQ(func::UserSettingsFolder(), c.expected);
    }
}

TEST_F(ConfigFolderEnvironment, PutsTheSettingsFileOfAProgramInAReadOnlyFolderInTheUserSettings) {
    functest::TempFolder folder;
    const std::string programFolder = folder / "bin";
    functest::WriteFile(programFolder + "/dopplet", "");
    ASSERT_EQ(chmod(programFolder.c_str(), 0555), 0);
    Set("XDG_CONFIG_HOME", (folder / "config").c_str());
    const std::string failure = functest::RunWithoutPrivileges([&]() -> std::string {
        const std::string path =
            func::IniFileName(programFolder + "/dopplet", func::UserSettingsFolder());
        return path == folder / "config/dopplet/dopplet.INI" ? "" : "got " + path;
    });
    EXPECT_EQ(failure, "");
}

TEST(ProgramFilePath, NamesThisTestProgram) {
    const std::string path = platform::ProgramFilePath();
    EXPECT_TRUE(path.ends_with("/func_tests")) << path;
}

}  // namespace
