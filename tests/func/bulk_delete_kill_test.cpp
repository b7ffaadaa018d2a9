// A bulk delete killed (SIGKILL) at any moment of its run loses no file: each one is where it
// was, or in the trash with a .trashinfo that names its place.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "func/bulk_delete.h"
#include "platform/posix/trash_posix.h"
#include "support/temp_folder.h"

namespace {

using functest::NamesIn;
using functest::TempFolder;
using testing_support::Exists;
using testing_support::ReadFile;
using testing_support::ScopedEnv;

constexpr int kGroups = 6;
constexpr int kCopies = 3;                           // the first stays, the others go
constexpr const char* kName = "same name 100%.txt";  // every file has it, so trash names collide
constexpr std::size_t kWriteChunk = 16;              // a .trashinfo takes several writes

class AllRows : public func::BulkDeleteRows {
  public:
    int RowCount() const override { return static_cast<int>(m_groups.size()); }
    int GroupIndexOfRow(int row) const override {
        return m_groups.at(static_cast<std::size_t>(row));
    }
    void RemoveRow(int row) override { m_groups.erase(m_groups.begin() + row); }
    void ShowMemberCount(int, std::int32_t) override {}

  private:
    std::vector<int> m_groups = [] {
        std::vector<int> groups(kGroups);
        std::iota(groups.begin(), groups.end(), 0);
        return groups;
    }();
};

// The bytes that Path= stands for.
std::string PercentDecode(const std::string& encoded) {
    std::string decoded;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size()) {
            decoded += static_cast<char>(std::stoi(encoded.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += encoded[i];
        }
    }
    return decoded;
}

// The place that a complete .trashinfo names; nullopt for anything else.
std::optional<std::string> PathInInfo(const std::optional<std::string>& info) {
    const std::string header = "[Trash Info]\nPath=";
    if (!info || info->compare(0, header.size(), header) != 0 || info->back() != '\n') {
        return std::nullopt;
    }
    const std::size_t end = info->find('\n', header.size());
    if (info->compare(end, 14, "\nDeletionDate=") != 0) {
        return std::nullopt;
    }
    return PercentDecode(info->substr(header.size(), end - header.size()));
}

// Files made for one run, and the check of what a run left.
class KilledRun {
  public:
    KilledRun() {
        for (int group = 0; group < kGroups; ++group) {
            search::ResultGroup& record = m_table.Group(group);
            for (int copy = 0; copy < kCopies; ++copy) {
                const std::string path = m_folder / ("g" + std::to_string(group) + "/c" +
                                                     std::to_string(copy) + "/" + kName);
                functest::WriteFile(path, Contents(group));
                search::ResultMember member;
                member.Folder = path.substr(0, path.rfind('/') + 1);
                member.Name = kName;
                member.Stamp = *platform::ReadFileStamp(path);
                record.Members.push_back(member);
                m_contents[path] = Contents(group);
            }
            record.MemberCount = kCopies;
        }
    }

    // Runs the bulk delete; the moment (system call or look at a file) number `killAt` ends the
    // process with SIGKILL. Returns the kinds of the moments of the run, one letter each: a look
    // at a file's Stamp, a comparison of Bytes, an Open, a Write, a Rename.
    std::string Run(int killAt) {
        std::string moments;
        const auto moment = [&moments, killAt](char kind) {
            moments += kind;
            if (static_cast<int>(moments.size()) == killAt) {
                raise(SIGKILL);
            }
        };
        const platform::SystemCalls& real = platform::RealSystemCalls();
        platform::TrashContext trash = platform::TrashContextFromEnvironment();
        trash.Calls.Open = [&](const char* path, int flags, mode_t mode) {
            moment('O');
            return real.Open(path, flags, mode);
        };
        trash.Calls.Write = [&](int fd, const void* data, std::size_t size) {
            moment('W');
            return real.Write(fd, data, std::min(size, kWriteChunk));
        };
        trash.Calls.RenameAt2 = [&](const char* from, const char* to, unsigned flags) {
            moment('R');
            return real.RenameAt2(from, to, flags);
        };
        func::BulkDeleteCalls calls;
        calls.AddReportRow = [](const std::string&, func::ReportStatus,
                                const platform::TrashedFile&) {};
        calls.DeletePath = [&trash](const std::string& path) {
            return platform::MoveToTrash(path, trash);
        };
        calls.ReadFileStamp = [&](const std::string& path) {
            moment('S');
            return platform::ReadFileStamp(path);
        };
        calls.HaveSameBytes = [&](const std::string& a, const std::string& b) {
            moment('B');
            return platform::HaveSameBytes(a, b);
        };
        AllRows rows;
        search::ProgressCounters progress;
        func::RunBulkDelete(rows, m_table, {}, platform::SystemCodePage(), calls, progress);
        return moments;
    }

    // Every file where it was, or in the trash with a .trashinfo that names its place; besides
    // them only .trashinfo files without their file. Returns how many files are in the trash.
    int ExpectNothingLost() const {
        const std::string trash = m_folder / "data/Trash";
        std::map<std::string, int> trashedAt;  // place -> trash entries naming it
        for (const std::string& name : NamesIn(trash + "/files")) {
            SCOPED_TRACE(name);
            const std::optional<std::string> place =
                PathInInfo(ReadFile(trash + "/info/" + name + ".trashinfo"));
            EXPECT_TRUE(place) << "a trashed file without a complete .trashinfo";
            if (!place) {
                continue;
            }
            const auto original = m_contents.find(*place);
            if (original == m_contents.end()) {
                ADD_FAILURE() << "a .trashinfo naming " << *place;
                continue;
            }
            EXPECT_EQ(ReadFile(trash + "/files/" + name), original->second);
            ++trashedAt[*place];
        }
        // Besides the infos of the files above, only infos without their file, which the trash
        // allows a kill to leave.
        for (const std::string& name : NamesIn(trash + "/info")) {
            EXPECT_TRUE(name.ends_with(".trashinfo")) << name;
        }
        if (Exists(trash)) {
            EXPECT_EQ(NamesIn(trash), (std::vector<std::string>{"files", "info"}));
        }
        int trashed = 0;
        for (const auto& [path, contents] : m_contents) {
            SCOPED_TRACE(path);
            const int entries = trashedAt.count(path) != 0 ? trashedAt.at(path) : 0;
            if (Exists(path)) {
                EXPECT_EQ(ReadFile(path), contents);
                EXPECT_EQ(entries, 0);
            } else {
                EXPECT_EQ(entries, 1);
                ++trashed;
            }
        }
        return trashed;
    }

  private:
    static std::string Contents(int group) { return "contents of group " + std::to_string(group); }

    TempFolder m_folder;
    ScopedEnv m_dataHome{"XDG_DATA_HOME", m_folder / "data"};
    search::ResultTable m_table;
    std::map<std::string, std::string> m_contents;  // every file made, and its bytes
};

// The moments at which a run is killed: spread evenly over the run, and for each kind of moment
// its first one and one in the middle of the run.
std::set<int> KillMoments(const std::string& moments) {
    constexpr int kSpread = 30;
    const int count = static_cast<int>(moments.size());
    std::set<int> chosen;
    for (int i = 0; i < kSpread; ++i) {
        chosen.insert(1 + i * (count - 1) / (kSpread - 1));
    }
    for (const char kind : std::string("SBOWR")) {
        const std::size_t first = moments.find(kind);
        const std::size_t middle = moments.find(kind, moments.size() / 2);
        for (const std::size_t at : {first, middle}) {
            if (at != std::string::npos) {
                chosen.insert(static_cast<int>(at) + 1);
            }
        }
    }
    return chosen;
}

TEST(BulkDeleteKilled, AtAnyMomentLosesNoFile) {
    std::string moments;
    {
        KilledRun whole;
        moments = whole.Run(0);
        EXPECT_EQ(whole.ExpectNothingLost(), kGroups * (kCopies - 1));
    }
    const std::set<int> killMoments = KillMoments(moments);
    ASSERT_GE(killMoments.size(), 20U);

    for (const int killAt : killMoments) {
        SCOPED_TRACE("killed at moment " + std::to_string(killAt) + " of " +
                     std::to_string(moments.size()) + ", " +
                     moments[static_cast<std::size_t>(killAt - 1)]);
        KilledRun run;
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            run.Run(killAt);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

        const int trashed = run.ExpectNothingLost();

        EXPECT_LT(trashed, kGroups * (kCopies - 1));
    }
}

}  // namespace
