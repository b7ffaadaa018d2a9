#include "func/group_export.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/group_json.h"
#include "support/temp_folder.h"

namespace {

search::ResultMember Member(const std::string& folder, const std::string& name, std::int64_t size,
                            const std::string& date) {
    search::ResultMember member;
    member.Folder = folder;
    member.Name = name;
    member.Date = date;
    member.Stamp.Size = size;
    member.Stamp.Modified = {1700000000, 5};
    return member;
}

class GroupExport : public ::testing::Test {
  protected:
    GroupExport() {
        m_first.Members = {Member("/写真/", "a \"b\".jpg", 1234, "2024/01/02 03:04:05"),
                           search::ResultMember{},
                           Member("/x,y/", "a.jpg", 1234, "2024/01/03 00:00:00")};
        m_empty.Members = {search::ResultMember{}};
        m_second.Members = {Member("/bad\xff/", "n", 7, "2023/12/31 23:59:59"),
                            Member("/ok/", "n", 7, "2023/12/31 23:59:58")};
    }

    std::vector<const search::ResultGroup*> Groups() const {
        return {&m_first, &m_empty, &m_second};
    }

    search::ResultGroup m_first;
    search::ResultGroup m_empty;
    search::ResultGroup m_second;
};

TEST_F(GroupExport, WritesCsvForASpreadsheet) {
    EXPECT_EQ(func::FormatGroupExport(Groups(), func::ExportFormat::Csv),
              "\xEF\xBB\xBF"
              "グループ,パス,サイズ,日付\r\n"
              "1,\"/写真/a \"\"b\"\".jpg\",1234,\"2024/01/02 03:04:05\"\r\n"
              "1,\"/x,y/a.jpg\",1234,\"2024/01/03 00:00:00\"\r\n"
              "2,\"/bad\xEF\xBF\xBD/n\",7,\"2023/12/31 23:59:59\"\r\n"
              "2,\"/ok/n\",7,\"2023/12/31 23:59:58\"\r\n");
}

TEST_F(GroupExport, WritesTheJsonLinesOfTheFinder) {
    // dopplet-find --json writes GroupJsonLine per group.
    EXPECT_EQ(func::FormatGroupExport(Groups(), func::ExportFormat::JsonLines),
              search::GroupJsonLine(m_first) + search::GroupJsonLine(m_second));
    EXPECT_EQ(search::GroupJsonLine(m_second),
              "{\"files\":[{\"path\":\"/bad\\udcff/n\",\"size\":7,"
              "\"mtime\":\"2023-11-14T22:13:20.000000005Z\"},"
              "{\"path\":\"/ok/n\",\"size\":7,\"mtime\":\"2023-11-14T22:13:20.000000005Z\"}]}\n");
}

TEST_F(GroupExport, SavesTheFileAndLeavesAnOldOneWhenTheWriteFails) {
    functest::TempFolder folder;
    const std::string path = folder / "groups.csv";
    ASSERT_FALSE(func::SaveGroupExport(path, Groups(), func::ExportFormat::JsonLines));
    EXPECT_EQ(functest::ReadBytes(path),
              func::FormatGroupExport(Groups(), func::ExportFormat::JsonLines));

    const std::string locked = folder / "locked";
    functest::WriteFile(locked + "/groups.csv", "old");
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    const std::string failure = functest::RunWithoutPrivileges([&]() -> std::string {
        if (!func::SaveGroupExport(locked + "/groups.csv", Groups(), func::ExportFormat::Csv)) {
            return "the save did not fail";
        }
        return functest::ReadBytes(locked + "/groups.csv") == "old" ? "" : "the old file changed";
    });
    EXPECT_EQ(failure, "");
}

}  // namespace
