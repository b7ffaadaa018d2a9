// The rules of the single-file operations on the result table, without a window.

#include "func/single_file_operations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/disturb.h"
#include "support/temp_folder.h"

namespace {

using functest::Disturb;
using functest::Disturbance;

using functest::ReadBytes;
using functest::WriteFile;

// The lists as a log of what the operations did to them.
class LoggedRows : public func::ResultRows {
  public:
    void RemoveMemberRow(int group, int slot) override {
        Log.push_back("member " + std::to_string(group) + "," + std::to_string(slot));
    }
    void ShowMemberCount(int group, std::int32_t count) override {
        Log.push_back("count " + std::to_string(group) + "=" + std::to_string(count));
    }
    void RemoveGroupRow(int group) override { Log.push_back("group " + std::to_string(group)); }
    std::vector<int> ListedGroups() const override { return Listed; }
    void ShowRestoredMember(int group, int slot, std::int32_t count) override {
        Log.push_back("back " + std::to_string(group) + "," + std::to_string(slot) + "=" +
                      std::to_string(count));
    }

    std::vector<std::string> Log;
    std::vector<int> Listed{0, 1};
};

class SingleFileOperations : public ::testing::Test {
  protected:
    // Group `group` with one member per folder, each "<folder>/x" holding "same".
    void AddGroup(int group, const std::vector<std::string>& folders) {
        search::ResultGroup& record = m_table.Group(group);
        for (const std::string& folder : folders) {
            const std::string path = m_folder / (folder + "/x");
            WriteFile(path, "same");
            search::ResultMember member;
            member.Folder = m_folder / (folder + "/");
            member.Name = "x";
            member.Stamp = *platform::ReadFileStamp(path);
            record.Members.push_back(member);
        }
        record.MemberCount = static_cast<std::int32_t>(folders.size());
    }

    func::FileActions Actions() {
        func::FileActions actions;
        actions.MoveToTrash = [this](const std::string& path) -> platform::TrashResult {
            m_trashed.push_back(path);
            if (unlink(path.c_str()) != 0) {
                return {std::error_code(errno, std::generic_category()), {}};
            }
            return {};
        };
        actions.MoveToFolder = [](const std::string& source, const std::string& folder) {
            platform::MoveResult result;
            result.NewPath = folder + "/x";
            if (rename(source.c_str(), result.NewPath.c_str()) != 0) {
                result.Error = {errno, std::generic_category()};
            }
            return result;
        };
        return actions;
    }

    functest::TempFolder m_folder;
    search::ResultTable m_table;
    LoggedRows m_rows;
    std::vector<std::string> m_trashed;
};

TEST_F(SingleFileOperations, DeletesOnlyAFileThatIsStillAsFound) {
    const Disturbance disturbances[] = {Disturbance::None,     Disturbance::Vanished,
                                        Disturbance::Grown,    Disturbance::Touched,
                                        Disturbance::Replaced, Disturbance::Rewritten};
    int group = 0;
    for (const Disturbance disturbance : disturbances) {
        SCOPED_TRACE(static_cast<int>(disturbance));
        const std::string prefix = std::to_string(group);
        AddGroup(group, {prefix + "a", prefix + "b", prefix + "c"});
        const std::string path = m_table.Group(group).Members[1].FullPath();
        Disturb(path, disturbance);
        m_rows.Log.clear();
        m_trashed.clear();

        const std::error_code error = func::DeleteMember(m_table, group, 1, Actions(), m_rows);

        if (disturbance == Disturbance::None) {
            EXPECT_FALSE(error);
            EXPECT_EQ(m_trashed, std::vector<std::string>{path});
            EXPECT_TRUE(m_table.Group(group).Members[1].IsFree());
            EXPECT_EQ(m_table.Group(group).MemberCount, 2);
            const std::vector<std::string> log{"member " + prefix + ",1", "count " + prefix + "=2"};
            EXPECT_EQ(m_rows.Log, log);
        } else {
            EXPECT_TRUE(error);
            EXPECT_TRUE(m_trashed.empty());
            EXPECT_FALSE(m_table.Group(group).Members[1].IsFree());
            EXPECT_EQ(m_table.Group(group).MemberCount, 3);
            EXPECT_TRUE(m_rows.Log.empty());
        }
        ++group;
    }
}

TEST_F(SingleFileOperations, AGroupLeftWithOneMemberLosesItsRow) {
    AddGroup(0, {"a", "b"});
    ASSERT_FALSE(func::DeleteMember(m_table, 0, 0, Actions(), m_rows));
    EXPECT_EQ(m_rows.Log, (std::vector<std::string>{"member 0,0", "group 0"}));
    EXPECT_EQ(m_table.Group(0).MemberCount, 1);
    // A free slot or one outside the table is nothing to delete.
    EXPECT_TRUE(func::DeleteMember(m_table, 0, 0, Actions(), m_rows));
    EXPECT_TRUE(func::DeleteMember(m_table, 0, 7, Actions(), m_rows));
    EXPECT_TRUE(func::DeleteMember(m_table, m_table.Capacity(), 0, Actions(), m_rows));
}

TEST_F(SingleFileOperations, MovesOnlyTheSameFileAndForgetsTheMembersItReplaced) {
    AddGroup(0, {"a", "b"});
    AddGroup(1, {"c", "d", "e"});
    // A file replaced since the search stays where it is.
    Disturb(m_folder / "a/x", Disturbance::Replaced);
    EXPECT_TRUE(func::MoveMember(m_table, 0, 0, m_folder / "d", Actions(), m_rows).Error);
    EXPECT_EQ(ReadBytes(m_folder / "d/x"), "same");
    EXPECT_EQ(m_table.Group(0).Members[0].Folder, m_folder / "a/");

    // The file moves onto d/x, a member of the other group; the move reports it replaced.
    func::FileActions actions = Actions();
    const auto move = actions.MoveToFolder;
    actions.MoveToFolder = [move](const std::string& source, const std::string& folder) {
        platform::MoveResult result = move(source, folder);
        result.Replaced = platform::TrashedFile{folder + "/x", {}, {}};
        return result;
    };
    const platform::MoveResult moved =
        func::MoveMember(m_table, 0, 1, m_folder / "d", actions, m_rows);
    ASSERT_FALSE(moved.Error) << moved.Error.message();
    EXPECT_EQ(m_table.Group(0).Members[1].Folder, m_folder / "d/");
    EXPECT_EQ(m_table.Group(0).Members[1].Stamp.Identity,
              platform::ReadFileStamp(m_folder / "d/x")->Identity);
    EXPECT_TRUE(m_table.Group(1).Members[1].IsFree());
    EXPECT_EQ(m_rows.Log, (std::vector<std::string>{"member 1,1", "count 1=2"}));
}

TEST_F(SingleFileOperations, RenamesOnlyTheSameFileToAPlainNameThatIsFree) {
    AddGroup(0, {"a"});
    search::ResultMember& member = m_table.Group(0).Members[0];
    WriteFile(m_folder / "a/taken", "other");
    for (const std::string& name :
         {std::string(), std::string("."), std::string(".."), std::string("sub/y"),
          std::string("y\0z", 3), std::string("taken")}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(func::RenameMember(member, name));
        EXPECT_EQ(member.Name, "x");
        EXPECT_EQ(ReadBytes(m_folder / "a/x"), "same");
    }
    EXPECT_EQ(ReadBytes(m_folder / "a/taken"), "other");

    // The rename's own change of the file's change time leaves it as found.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_FALSE(func::RenameMember(member, "y"));
    EXPECT_EQ(member.Name, "y");
    EXPECT_EQ(ReadBytes(m_folder / "a/y"), "same");
    EXPECT_TRUE(func::IsFileAsFound(member, platform::ReadFileStamp(m_folder / "a/y")));

    // A file that took the name since the search is not the one to rename.
    Disturb(m_folder / "a/y", Disturbance::Replaced);
    EXPECT_TRUE(func::RenameMember(member, "z"));
    EXPECT_EQ(ReadBytes(m_folder / "a/y"), "same");
}

}  // namespace
