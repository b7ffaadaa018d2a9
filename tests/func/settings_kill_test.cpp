// A settings save killed at any moment: the must-not-delete list must survive it.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "func/settings.h"
#include "support/temp_folder.h"
#include "support/traced_child.h"

namespace {

using functest::ReadBytes;
using functest::WriteFile;

// Settings with `count` entries under `folder`: long enough that the file spans many pages.
func::Settings SettingsWithList(const char* folder, int count, int posX) {
    func::Settings settings;
    settings.PosX = posX;
    for (int i = 0; i < count; ++i) {
        char entry[64];
        std::snprintf(entry, sizeof entry, "/%s/ENTRY%05d", folder, i);
        settings.NoDelList.push_back(entry);
    }
    return settings;
}

// The bytes that saving `settings` into a fresh file gives.
std::string SavedBytes(const func::Settings& settings) {
    functest::TempFolder folder;
    const std::string path = folder / "dopplet.INI";
    EXPECT_FALSE(func::SaveSettings(path, settings).Error);
    return ReadBytes(path);
}

bool Contains(const std::vector<std::string>& all, const std::vector<std::string>& part) {
    return std::all_of(part.begin(), part.end(), [&](const std::string& entry) {
        return std::find(all.begin(), all.end(), entry) != all.end();
    });
}

// Removes what killed saves left in `folder` besides the settings file: their temporary files.
void RemoveLeftovers(const std::string& folder) {
    for (const std::string& name : functest::NamesIn(folder)) {
        if (name != "dopplet.INI") {
            EXPECT_TRUE(name.starts_with(".dopplet-") && name.ends_with(".tmp")) << name;
            unlink((folder + "/" + name).c_str());
        }
    }
}

class KilledSave : public ::testing::Test {
  protected:
    // Runs `save` once to its end, then once per system call stop of that run, killed there; each
    // time after `reset`. `check` looks at what a killed run left.
    void KillAtEveryStop(const std::function<int()>& save, const std::function<void()>& reset,
                         const std::function<void(int stop)>& check) {
        reset();
        const functest::TraceResult whole = functest::RunTraced(
            save, [](const functest::SystemCallStop&) { return functest::TraceAction::Continue; });
        if (!whole.Failure.empty()) {
            GTEST_SKIP() << whole.Failure;
        }
        ASSERT_EQ(whole.ExitCode, 0);
        ASSERT_GE(whole.Stops, 20);
        int kills = 0;
        for (int at = 0; at < whole.Stops; ++at) {
            reset();
            const functest::TraceResult killed =
                functest::RunTraced(save, [at](const functest::SystemCallStop& stop) {
                    return stop.Index == at ? functest::TraceAction::Kill
                                            : functest::TraceAction::Continue;
                });
            ASSERT_TRUE(killed.Failure.empty()) << killed.Failure;
            kills += killed.Killed ? 1 : 0;
            check(at);
        }
        EXPECT_GE(kills, 20);
    }

    functest::TempFolder m_folder;
};

TEST_F(KilledSave, LeavesTheWholeOldOrTheWholeNewFile) {
    const std::string path = m_folder / "dopplet.INI";
    const std::string oldBytes = SavedBytes(SettingsWithList("OLD", 1500, 1));
    const func::Settings newSettings = SettingsWithList("NEW", 800, 2);
    const std::string newBytes = SavedBytes(newSettings);
    int oldSeen = 0;
    int newSeen = 0;
    KillAtEveryStop([&] { return func::SaveSettings(path, newSettings).Error ? 1 : 0; },
                    [&] {
                        RemoveLeftovers(m_folder.Root());
                        WriteFile(path, oldBytes);
                    },
                    [&](int stop) {
                        const std::string bytes = ReadBytes(path);
                        oldSeen += bytes == oldBytes ? 1 : 0;
                        newSeen += bytes == newBytes ? 1 : 0;
                        EXPECT_TRUE(bytes == oldBytes || bytes == newBytes)
                            << "killed at stop " << stop << ": " << bytes.size() << " bytes";
                    });
    // The kills fell before and after the moment the new file took the old one's place.
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
}

// In a folder that may not be written the file is rewritten in place, which cannot be all or
// nothing; but whatever a kill leaves still holds every entry of the old or of the new list.
TEST_F(KilledSave, InPlaceLosesNoEntryOfTheOldAndTheNewListBoth) {
    const std::string folder = m_folder / "locked";
    const std::string path = folder + "/dopplet.INI";
    const func::Settings oldSettings = SettingsWithList("OLD", 1500, 1);
    const std::string oldBytes = SavedBytes(oldSettings);
    const func::Settings newSettings = SettingsWithList("NEW", 800, 2);
    KillAtEveryStop(
        [&] {
            return functest::GiveUpPrivileges() && !func::SaveSettings(path, newSettings).Error ? 0
                                                                                                : 1;
        },
        [&] {
            chmod(folder.c_str(), 0755);
            WriteFile(path, oldBytes);
            chmod(path.c_str(), 0666);
            chmod(folder.c_str(), 0555);
        },
        [&](int stop) {
            const func::LoadedSettings loaded = func::ReadSettingsFile(path);
            EXPECT_EQ(loaded.State, func::SettingsFileState::Read) << "killed at stop " << stop;
            EXPECT_TRUE(Contains(loaded.Values.NoDelList, oldSettings.NoDelList) ||
                        Contains(loaded.Values.NoDelList, newSettings.NoDelList))
                << "killed at stop " << stop;
            EXPECT_EQ(functest::NamesIn(folder), std::vector<std::string>{"dopplet.INI"});
        });
    chmod(folder.c_str(), 0755);
}

}  // namespace
