#include "func/deletion_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace {

using func::ReportRow;
using func::ReportStatus;

TEST(DeletionReport, WritesOneCrLfLinePerRowInRowOrder) {
    const std::vector<ReportRow> rows = {
        {"/TMP/A.TXT", ReportStatus::NotDeleted},
        {"/tmp/b.txt", ReportStatus::Deleted},
        {"/tmp/ファイル c.txt", ReportStatus::DeleteFailed},
    };
    EXPECT_EQ(func::FormatDeletionReport(rows),
              "/TMP/A.TXT :削除しません\r\n"
              "/tmp/b.txt :削除\r\n"
              "/tmp/ファイル c.txt :削除失敗\r\n");
    EXPECT_EQ(func::FormatDeletionReport({}), "");
}

TEST(DeletionReport, SavingReplacesAnExistingFile) {
    functest::TempFolder folder;
    const std::string path = folder / "report.txt";
    functest::WriteFile(path, "an older and much longer report\r\n");
    ASSERT_FALSE(func::SaveDeletionReport(
        path, {{"/TMP/A.TXT", ReportStatus::NotDeleted}, {"/tmp/a.txt", ReportStatus::Deleted}}));
    EXPECT_EQ(functest::ReadBytes(path), "/TMP/A.TXT :削除しません\r\n/tmp/a.txt :削除\r\n");

    ASSERT_FALSE(func::SaveDeletionReport(path, {}));
    EXPECT_EQ(functest::ReadBytes(path), "");
}

TEST(DeletionReport, SavingWhereNoFileCanBeWrittenFailsAndWritesNothing) {
    functest::TempFolder folder;
    EXPECT_TRUE(
        func::SaveDeletionReport(folder / "missing/report.txt", {{"/A", ReportStatus::Deleted}}));
    functest::WriteFile(folder / "taken/inside", "kept");
    EXPECT_TRUE(func::SaveDeletionReport(folder / "taken", {{"/A", ReportStatus::Deleted}}));
    EXPECT_EQ(functest::NamesIn(folder.Root()), std::vector<std::string>{"taken"});
    EXPECT_EQ(functest::ReadBytes(folder / "taken/inside"), "kept");
}

}  // namespace
