#include "func/bulk_delete.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <set>
#include <string>
#include <vector>

#include "support/disturb.h"
#include "support/temp_folder.h"

namespace {

using functest::Disturb;
using functest::Disturbance;

using func::ReportRow;
using func::ReportStatus;
using Rows = std::vector<ReportRow>;

class BulkDelete : public ::testing::Test {
  protected:
    // A member for a new file at `relative` inside the test's folder, stamped as the search does.
    search::ResultMember MakeMember(const std::string& relative,
                                    const std::string& contents = "the same contents") {
        const std::string path = m_folder / relative;
        functest::WriteFile(path, contents);
        search::ResultMember member;
        const std::size_t slash = path.rfind('/');
        member.Folder = path.substr(0, slash + 1);
        member.Name = path.substr(slash + 1);
        member.Stamp = *platform::ReadFileStamp(path);
        return member;
    }

    search::ResultGroup MakeGroup(const std::vector<std::string>& relatives,
                                  const std::vector<std::string>& contents = {}) {
        search::ResultGroup group;
        for (std::size_t i = 0; i < relatives.size(); ++i) {
            group.Members.push_back(i < contents.size() ? MakeMember(relatives[i], contents[i])
                                                        : MakeMember(relatives[i]));
        }
        group.MemberCount = static_cast<std::int32_t>(group.Members.size());
        return group;
    }

    func::BulkDeleteCalls Calls() {
        func::BulkDeleteCalls calls;
        calls.AddReportRow = [this](const std::string& path, ReportStatus status,
                                    const platform::TrashedFile&) {
            m_report.push_back({path, status});
        };
        calls.DeletePath = [this](const std::string& path) -> platform::TrashResult {
            m_deleteAttempts.push_back(path);
            if (m_locked.count(path) != 0 || unlink(path.c_str()) != 0) {
                return {std::make_error_code(std::errc::permission_denied), {}};
            }
            return {};
        };
        return calls;
    }

    std::int32_t Walk(search::ResultGroup& group) {
        return func::WalkGroup(group, m_noDelList, platform::SystemCodePage(), Calls());
    }

    static std::string Upper(const std::string& path) {
        return platform::SystemCodePage().UpperAscii(path);
    }

    static bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

    functest::TempFolder m_folder;
    std::vector<std::string> m_noDelList{"/KEEP/"};
    Rows m_report;
    std::vector<std::string> m_deleteAttempts;
    std::set<std::string> m_locked;
};

TEST_F(BulkDelete, KeepsTheProtectedFilesOrElseTheFirstOne) {
    struct Case {
        const char* name;
        std::vector<std::string> files;
        std::vector<int> expectedMarks;
        std::int32_t expectedCount;
    };
    const Case cases[] = {
        {"three copies, none protected",
         {"Copies/a.txt", "Copies/B.txt", "other/c.TXT"},
         {0, 1, 1},
         1},
        {"two of three protected", {"Copies/a.txt", "keep/B.txt", "Keep/c.txt"}, {1, 0, 0}, 2},
        {"all protected", {"keep/a.txt", "keep/b.txt", "keep/c.txt"}, {0, 0, 0}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_report.clear();
        search::ResultGroup group = MakeGroup(c.files);
        const std::vector<search::ResultMember> before = group.Members;

        EXPECT_EQ(Walk(group), c.expectedCount);

        Rows expected;
        for (const search::ResultMember& member : before) {
            expected.push_back({Upper(member.FullPath()), ReportStatus::NotDeleted});
        }
        for (std::size_t slot = 0; slot < before.size(); ++slot) {
            EXPECT_EQ(group.Members[slot].DeleteMark, c.expectedMarks[slot]) << "slot " << slot;
            const std::string path = before[slot].FullPath();
            if (c.expectedMarks[slot] != 0) {
                expected.push_back({path, ReportStatus::Deleted});
                EXPECT_FALSE(Exists(path));
                EXPECT_TRUE(group.Members[slot].IsFree());
            } else {
                EXPECT_TRUE(Exists(path));
                EXPECT_EQ(group.Members[slot].Name, before[slot].Name);
            }
        }
        EXPECT_EQ(m_report, expected);
    }
}

TEST_F(BulkDelete, KeepsTheFirstPresentMemberWhenEarlierSlotsAreFree) {
    search::ResultGroup group = MakeGroup({"a/x", "b/x", "c/x"});
    group.Members[0].Name.clear();
    group.MemberCount = 2;
    EXPECT_EQ(Walk(group), 1);
    ASSERT_EQ(m_deleteAttempts.size(), 1u);
    EXPECT_EQ(m_deleteAttempts[0], m_folder / "c/x");
    EXPECT_TRUE(Exists(m_folder / "b/x"));
}

TEST_F(BulkDelete, ALockedFileIsReportedAndLeavesTheListButStaysCounted) {
    search::ResultGroup group = MakeGroup({"a/x", "b/x", "c/x"});
    m_locked.insert(m_folder / "c/x");
    EXPECT_EQ(Walk(group), 2);
    const Rows tail(m_report.end() - 2, m_report.end());
    EXPECT_EQ(tail, (Rows{{m_folder / "b/x", ReportStatus::Deleted},
                          {m_folder / "c/x", ReportStatus::DeleteFailed}}));
    EXPECT_TRUE(group.Members[2].IsFree());
    EXPECT_TRUE(Exists(m_folder / "c/x"));
}

const Disturbance kDisturbances[] = {Disturbance::Vanished, Disturbance::Grown,
                                     Disturbance::Touched, Disturbance::Replaced};

TEST_F(BulkDelete, DeletesNothingOfAGroupWhoseKeptFileIsNoLongerAsFound) {
    for (const Disturbance disturbance : kDisturbances) {
        SCOPED_TRACE(static_cast<int>(disturbance));
        m_report.clear();
        m_deleteAttempts.clear();
        search::ResultGroup group = MakeGroup({"a/x", "b/x", "c/x"});
        Disturb(m_folder / "a/x", disturbance);

        EXPECT_EQ(Walk(group), 3);
        EXPECT_TRUE(m_deleteAttempts.empty());
        const Rows tail(m_report.end() - 2, m_report.end());
        EXPECT_EQ(tail, (Rows{{m_folder / "b/x", ReportStatus::DeleteFailed},
                              {m_folder / "c/x", ReportStatus::DeleteFailed}}));
        EXPECT_TRUE(Exists(m_folder / "b/x"));
        EXPECT_TRUE(Exists(m_folder / "c/x"));
    }
}

TEST_F(BulkDelete, DeletesNothingWhenOneOfSeveralProtectedFilesChanged) {
    search::ResultGroup group = MakeGroup({"keep/a", "keep/b", "c/x"});
    Disturb(m_folder / "keep/b", Disturbance::Grown);
    EXPECT_EQ(Walk(group), 3);
    EXPECT_TRUE(m_deleteAttempts.empty());
    EXPECT_EQ(m_report.back(), (ReportRow{m_folder / "c/x", ReportStatus::DeleteFailed}));
    EXPECT_TRUE(Exists(m_folder / "c/x"));
}

TEST_F(BulkDelete, DoesNotDeleteAMemberThatChangedSinceTheSearch) {
    for (const Disturbance disturbance : kDisturbances) {
        SCOPED_TRACE(static_cast<int>(disturbance));
        m_report.clear();
        m_deleteAttempts.clear();
        search::ResultGroup group = MakeGroup({"a/x", "b/x", "c/x"});
        Disturb(m_folder / "c/x", disturbance);

        EXPECT_EQ(Walk(group), 2);
        EXPECT_EQ(m_deleteAttempts, std::vector<std::string>{m_folder / "b/x"});
        const Rows tail(m_report.end() - 2, m_report.end());
        EXPECT_EQ(tail, (Rows{{m_folder / "b/x", ReportStatus::Deleted},
                              {m_folder / "c/x", ReportStatus::DeleteFailed}}));
        EXPECT_EQ(Exists(m_folder / "c/x"), disturbance != Disturbance::Vanished);
    }
}

// Rewrites a file in place with other bytes of the same length and puts its modification time
// back, so that its stamp looks untouched.
void RewriteKeepingStamp(const std::string& path, const std::string& contents) {
    struct stat old {};
    ASSERT_EQ(stat(path.c_str(), &old), 0);
    const int fd = open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(pwrite(fd, contents.data(), contents.size(), 0),
              static_cast<ssize_t>(contents.size()));
    close(fd);
    const timespec times[2] = {old.st_atim, old.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST_F(BulkDelete, DeletesAMemberOnlyWhenAFileThatStaysHoldsItsBytes) {
    struct Case {
        const char* name;
        std::vector<std::string> files;
        std::vector<std::string> contents;
        std::vector<bool> deleted;
    };
    // Groups as the name modes make them: the same name, whatever the contents.
    const Case cases[] = {
        {"all the same", {"a/x", "b/x", "c/x"}, {"same", "same", "same"}, {false, true, true}},
        {"one differs in its last byte",
         {"a/x", "b/x", "c/x"},
         {"same", "samE", "same"},
         {false, false, true}},
        {"sizes differ", {"a/x", "b/x"}, {"same", "same, longer"}, {false, false}},
        {"equal to the second of two kept files",
         {"keep/1", "keep/2", "c/x"},
         {"one", "two", "two"},
         {false, false, true}},
        {"empty files", {"a/x", "b/x"}, {"", ""}, {false, true}},
    };
    int caseNumber = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_report.clear();
        // Each case in a folder of its own; "keep" stays a protected folder name.
        std::vector<std::string> files;
        for (const std::string& file : c.files) {
            files.push_back(std::to_string(caseNumber) + "/" + file);
        }
        ++caseNumber;
        search::ResultGroup group = MakeGroup(files, c.contents);

        Walk(group);

        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string path = m_folder / files[i];
            EXPECT_EQ(Exists(path), !c.deleted[i]) << path;
            if (i > 0 && !c.deleted[i] && group.Members[i].DeleteMark != 0) {
                EXPECT_NE(std::find(m_report.begin(), m_report.end(),
                                    ReportRow{path, ReportStatus::DeleteFailed}),
                          m_report.end())
                    << path;
            }
        }
    }
}

TEST_F(BulkDelete, SparesTheCopiesOfAKeptFileRewrittenWithItsOldStamp) {
    search::ResultGroup group = MakeGroup({"a/x", "b/x", "c/x"});
    RewriteKeepingStamp(m_folder / "a/x", "changed contents!");

    EXPECT_EQ(Walk(group), 3);
    EXPECT_TRUE(m_deleteAttempts.empty());
    EXPECT_TRUE(Exists(m_folder / "b/x"));
    EXPECT_TRUE(Exists(m_folder / "c/x"));
    const Rows tail(m_report.end() - 2, m_report.end());
    EXPECT_EQ(tail, (Rows{{m_folder / "b/x", ReportStatus::DeleteFailed},
                          {m_folder / "c/x", ReportStatus::DeleteFailed}}));
}

TEST_F(BulkDelete, SparesAMemberThatCannotBeReadToItsEnd) {
    search::ResultGroup group = MakeGroup({"a/x", "b/x"});
    func::BulkDeleteCalls calls = Calls();
    calls.HaveSameBytes = [](const std::string&, const std::string&) { return false; };
    func::WalkGroup(group, m_noDelList, platform::SystemCodePage(), calls);
    EXPECT_TRUE(m_deleteAttempts.empty());
    EXPECT_EQ(m_report.back(), (ReportRow{m_folder / "b/x", ReportStatus::DeleteFailed}));
}

TEST_F(BulkDelete, AGroupWithNoPresentMemberDeletesAndSparesNothing) {
    search::ResultGroup group = MakeGroup({"a/x", "b/x"});
    for (search::ResultMember& member : group.Members) {
        member.Name.clear();
    }
    EXPECT_EQ(Walk(group), 2);
    EXPECT_TRUE(m_report.empty());
    EXPECT_TRUE(m_deleteAttempts.empty());
}

// The group list as a plain vector of group indexes, with a log of what the walk did to it.
class FakeRows : public func::BulkDeleteRows {
  public:
    explicit FakeRows(std::vector<int> groups) : Groups(std::move(groups)) {}
    int RowCount() const override { return static_cast<int>(Groups.size()); }
    int GroupIndexOfRow(int row) const override { return Groups.at(static_cast<std::size_t>(row)); }
    void RemoveRow(int row) override {
        Log.push_back("remove " + std::to_string(row));
        Groups.erase(Groups.begin() + row);
    }
    void ShowMemberCount(int row, std::int32_t count) override {
        Log.push_back("count " + std::to_string(row) + "=" + std::to_string(count));
    }

    std::vector<int> Groups;
    std::vector<std::string> Log;
};

TEST_F(BulkDelete, WalksTheRowBeforeARemovedRowAgain) {
    search::ResultTable table;
    table.Group(0) = MakeGroup({"keep/a1", "keep/a2"});
    table.Group(1) = MakeGroup({"b/1", "b/2"});
    table.Group(2) = MakeGroup({"c/1", "c/2"});
    FakeRows rows({0, 1, 2});
    search::ProgressCounters progress;

    func::RunBulkDelete(rows, table, m_noDelList, platform::SystemCodePage(), Calls(), progress);

    const auto listed = [this](const std::string& relative) {
        return ReportRow{Upper(m_folder / relative), ReportStatus::NotDeleted};
    };
    const Rows groupA = {listed("keep/a1"), listed("keep/a2")};
    Rows expected = groupA;
    expected.insert(expected.end(), {listed("b/1"), listed("b/2"),
                                     ReportRow{m_folder / "b/2", ReportStatus::Deleted}});
    expected.insert(expected.end(), groupA.begin(), groupA.end());
    expected.insert(expected.end(), {listed("c/1"), listed("c/2"),
                                     ReportRow{m_folder / "c/2", ReportStatus::Deleted}});
    expected.insert(expected.end(), groupA.begin(), groupA.end());
    EXPECT_EQ(m_report, expected);
    EXPECT_EQ(rows.Groups, std::vector<int>{0});
    EXPECT_EQ(rows.Log, (std::vector<std::string>{"count 0=2", "remove 1", "count 0=2", "remove 1",
                                                  "count 0=2"}));
    EXPECT_EQ(progress.Position.load(), 0);
}

TEST_F(BulkDelete, LeavesARowThatNamesNoGroupAlone) {
    search::ResultTable table;
    table.Group(0) = MakeGroup({"b/1", "b/2"});
    FakeRows rows({-1, table.Capacity(), 0});
    search::ProgressCounters progress;
    func::RunBulkDelete(rows, table, m_noDelList, platform::SystemCodePage(), Calls(), progress);
    EXPECT_EQ(rows.Groups, (std::vector<int>{-1, table.Capacity()}));
    EXPECT_EQ(m_deleteAttempts, std::vector<std::string>{m_folder / "b/2"});
}

// Sets the modification time of the file at `path` and of its member's stamp.
void SetModified(search::ResultMember& member, std::int64_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, member.FullPath().c_str(), times, 0), 0);
    member.Stamp = *platform::ReadFileStamp(member.FullPath());
}

TEST_F(BulkDelete, PreviewListsWhatTheRunThenDeletesUnderEveryRule) {
    using func::KeepRule;
    struct Case {
        KeepRule rule;
        std::vector<std::string> planned;  // in the order of the run's deletes
    };
    const Case cases[] = {
        {KeepRule::FirstFound, {"a/y", "a/x", "c/2", "c/3"}},
        {KeepRule::Oldest, {"a/zz/x", "a/y", "c/1", "c/2"}},
        {KeepRule::Newest, {"a/y", "a/x", "c/1", "c/3"}},
        {KeepRule::ShortestPath, {"a/zz/x", "a/x", "c/2", "c/3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.rule));
        m_report.clear();
        m_deleteAttempts.clear();
        search::ResultTable table;
        // Group 0: the newest found first, the oldest last, the shortest path in between.
        table.Group(0) = MakeGroup({"a/zz/x", "a/y", "a/x"});
        SetModified(table.Group(0).Members[0], 3000);
        SetModified(table.Group(0).Members[1], 1000);
        SetModified(table.Group(0).Members[2], 500);
        // Group 1: the list protects two; no rule decides. Its row stays and is walked again.
        table.Group(1) = MakeGroup({"keep/1", "keep/22"});
        // Group 2: the oldest found last, the newest in the middle.
        table.Group(2) = MakeGroup({"c/1", "c/2", "c/3"}, {"other", "other", "other"});
        SetModified(table.Group(2).Members[0], 2000);
        SetModified(table.Group(2).Members[1], 9000);
        SetModified(table.Group(2).Members[2], 100);
        // Group 3: the two differ in their bytes, whatever their stamps say; neither goes.
        table.Group(3) = MakeGroup({"d/1", "d/2"}, {"this", "that"});
        FakeRows rows({0, 1, 2, 3});

        func::BulkDeleteCalls calls = Calls();
        calls.DeletePath = [](const std::string& path) -> platform::TrashResult {
            ADD_FAILURE() << "the preview deleted " << path;
            return {};
        };
        const func::BulkDeletePlan plan = func::PreviewBulkDelete(
            rows, table, m_noDelList, platform::SystemCodePage(), c.rule, calls);
        const Rows preview = m_report;
        m_report.clear();
        std::vector<std::string> planned;
        std::int64_t bytes = 0;
        for (const ReportRow& row : preview) {
            if (row.Status == ReportStatus::Planned) {
                planned.push_back(row.Path);
                bytes += static_cast<std::int64_t>(functest::ReadBytes(row.Path).size());
            }
            EXPECT_TRUE(Exists(row.Path)) << row.Path;
        }
        EXPECT_EQ(preview.size(), 10u);
        std::vector<std::string> expected;
        for (const std::string& relative : c.planned) {
            expected.push_back(m_folder / relative);
        }
        EXPECT_EQ(planned, expected);
        EXPECT_EQ(plan.Files, 4);
        EXPECT_EQ(plan.Bytes, bytes);
        EXPECT_TRUE(m_deleteAttempts.empty());
        EXPECT_TRUE(rows.Log.empty());

        search::ProgressCounters progress;
        func::RunBulkDelete(rows, table, m_noDelList, platform::SystemCodePage(), Calls(), progress,
                            c.rule);
        EXPECT_EQ(m_deleteAttempts, expected);
        EXPECT_TRUE(Exists(m_folder / "d/1") && Exists(m_folder / "d/2"));
    }
}

}  // namespace
