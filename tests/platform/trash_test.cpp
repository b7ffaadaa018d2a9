#include "platform/trash.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "platform/path.h"
#include "platform/posix/trash_info.h"
#include "platform/posix/trash_posix.h"
#include "support/platform_fixture.h"

namespace platform {
namespace {

using platform_testing::DeviceOf;
using platform_testing::Exists;
using platform_testing::ModeOf;
using platform_testing::NamesIn;
using platform_testing::ReadFile;
using platform_testing::ScopedEnv;
using platform_testing::TempFolder;
using platform_testing::WriteFile;

constexpr std::time_t kDeletionTime = 1700000000;
constexpr const char* kDeletionDate = "2023-11-14T22:13:20";  // in UTC

std::string InfoText(const std::string& encodedPath) {
    return std::string("[Trash Info]\nPath=") + encodedPath + "\nDeletionDate=" + kDeletionDate +
           "\n";
}

std::string Repeat(const std::string& text, int count) {
    std::string repeated;
    for (int i = 0; i < count; ++i) {
        repeated += text;
    }
    return repeated;
}

// Every test gets its own XDG_DATA_HOME and HOME, so the user's real trash is never touched.
class TrashTest : public ::testing::Test {
  protected:
    std::string HomeTrash() const { return m_temp.Path("data/Trash"); }
    std::string TrashedFile(const std::string& name) const {
        return HomeTrash() + "/files/" + name;
    }
    std::string TrashInfo(const std::string& name) const {
        return HomeTrash() + "/info/" + name + ".trashinfo";
    }

    // The context of this process with a fixed clock.
    static TrashContext Context() {
        TrashContext context = TrashContextFromEnvironment();
        context.Now = [] { return kDeletionTime; };
        return context;
    }

    // A context in which every file looks as if it lay on another file system than the home
    // trash, with `topDir` as the top of that file system.
    TrashContext OtherFileSystemContext(const std::string& topDir) const {
        TrashContext context = Context();
        context.HomeTrashDevice = DeviceOf(m_temp.Root()) + 1;
        context.FindTopDir = [topDir](const std::string&, dev_t) { return topDir; };
        return context;
    }

    TempFolder m_temp;
    ScopedEnv m_dataHome{"XDG_DATA_HOME", m_temp.Path("data")};
    ScopedEnv m_home{"HOME", m_temp.Path("home")};
    platform_testing::ScopedTimeZone m_zone{"UTC"};
    const std::string m_uid = std::to_string(getuid());
};

TEST_F(TrashTest, MovesFileIntoPrivateHomeTrashWithExactInfo) {
    const std::string file = m_temp.Path("docs/report.txt");
    WriteFile(file, "contents");

    const TrashResult result = MoveToTrash(file, Context());

    ASSERT_FALSE(result.Error) << result.Error.message();
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(ReadFile(TrashedFile("report.txt")), "contents");
    EXPECT_EQ(ReadFile(TrashInfo("report.txt")), InfoText(file));
    EXPECT_EQ(result.Trashed.OriginalPath, file);
    EXPECT_EQ(result.Trashed.TrashedPath, TrashedFile("report.txt"));
    EXPECT_EQ(result.Trashed.InfoPath, TrashInfo("report.txt"));
    for (const std::string& folder :
         {m_temp.Path("data"), HomeTrash(), HomeTrash() + "/files", HomeTrash() + "/info"}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(ModeOf(folder), 0700U);
    }
}

TEST_F(TrashTest, AwkwardNamesKeepTheirBytesAndFullPath) {
    const std::string hiragana = "\xe3\x81\x82";
    struct Case {
        const char* what;
        std::string name;
        std::string encodedName;  // in Path=
        std::string trashedName;  // in files/
    };
    const Case cases[] = {
        {"percent and newline", "100%\nsure.txt", "100%25%0Asure.txt", "100%\nsure.txt"},
        {"invalid UTF-8", "\xff\xfe.txt", "%FF%FE.txt", "\xff\xfe.txt"},
        {"blank and URL characters", "a b#?.txt", "a%20b%23%3F.txt", "a b#?.txt"},
        {"250 bytes", std::string(246, 'n') + ".txt", std::string(246, 'n') + ".txt",
         std::string(241, 'n') + ".txt"},
        {"250 bytes of three-byte characters", Repeat(hiragana, 82) + ".txt",
         Repeat("%E3%81%82", 82) + ".txt", Repeat(hiragana, 80) + ".txt"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = m_temp.Path("case" + std::to_string(index++));
        const std::string file = folder + "/" + c.name;
        WriteFile(file, c.what);

        const TrashResult result = MoveToTrash(file, Context());

        ASSERT_FALSE(result.Error) << result.Error.message();
        EXPECT_FALSE(Exists(file));
        EXPECT_EQ(ReadFile(TrashedFile(c.trashedName)), c.what);
        EXPECT_EQ(ReadFile(TrashInfo(c.trashedName)), InfoText(folder + "/" + c.encodedName));
    }
}

TEST_F(TrashTest, SecondFileOfSameNameGetsAnotherName) {
    const std::string first = m_temp.Path("one/a.txt");
    const std::string second = m_temp.Path("two/a.txt");
    WriteFile(first, "first");
    WriteFile(second, "second");

    ASSERT_FALSE(MoveToTrash(first, Context()).Error);
    const TrashResult result = MoveToTrash(second, Context());

    ASSERT_FALSE(result.Error) << result.Error.message();
    EXPECT_EQ(ReadFile(TrashedFile("a.txt")), "first");
    EXPECT_EQ(ReadFile(TrashInfo("a.txt")), InfoText(first));
    EXPECT_EQ(ReadFile(TrashedFile("a.2.txt")), "second");
    EXPECT_EQ(ReadFile(TrashInfo("a.2.txt")), InfoText(second));
}

TEST_F(TrashTest, NameTakenInFilesWithoutInfoIsPassedOverAndItsInfoRemoved) {
    WriteFile(TrashedFile("a.txt"), "left over");
    const std::string file = m_temp.Path("docs/a.txt");
    WriteFile(file, "new");

    const TrashResult result = MoveToTrash(file, Context());

    ASSERT_FALSE(result.Error) << result.Error.message();
    EXPECT_EQ(ReadFile(TrashedFile("a.txt")), "left over");
    EXPECT_EQ(ReadFile(TrashedFile("a.2.txt")), "new");
    EXPECT_EQ(NamesIn(HomeTrash() + "/info"), std::vector<std::string>{"a.2.txt.trashinfo"});
}

// A dedupe may trash thousands of files of one name (Thumbs.db, an empty __init__.py): every one
// of them finds a free name, one near the longest a file system takes included.
TEST_F(TrashTest, ThousandsOfFilesOfOneNameAllFindAFreeName) {
    const struct {
        const char* what;
        std::string name;
        int files;
    } cases[] = {
        {"short name", "index.html", 1200},
        {"name of 250 bytes", std::string(245, 'n') + ".html", 40},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::set<std::string> trashedPaths;
        for (int i = 0; i < c.files; ++i) {
            const std::string contents = std::to_string(index) + "/" + std::to_string(i);
            const std::string file = m_temp.Path("case" + contents + "/" + c.name);
            WriteFile(file, contents);

            const TrashResult result = MoveToTrash(file, Context());

            ASSERT_FALSE(result.Error) << i << ": " << result.Error.message();
            EXPECT_EQ(ReadFile(result.Trashed.TrashedPath), contents);
            EXPECT_EQ(ReadFile(result.Trashed.InfoPath), InfoText(file));
            EXPECT_LE(SplitPath(result.Trashed.InfoPath).Name.size(), kMaxNameBytes);
            trashedPaths.insert(result.Trashed.TrashedPath);
        }
        EXPECT_EQ(trashedPaths.size(), static_cast<std::size_t>(c.files));
        ++index;
    }
}

TEST_F(TrashTest, GivesUpAfterBoundedNumberOfNamesAndKeepsFile) {
    // Every random number the same: the names past the numbered ones are all one name.
    int randomCalls = 0;
    TrashContext context = Context();
    context.Random = [&randomCalls] {
        ++randomCalls;
        return 0xc0ffeeU;
    };
    for (int attempt = 0; attempt <= kNumberedTrashNames; ++attempt) {
        WriteFile(TrashInfo(TrashedName("a.txt", TrashNameSuffix(attempt, context.Random))), "");
    }
    randomCalls = 0;
    const std::string file = m_temp.Path("docs/a.txt");
    WriteFile(file, "keep");

    const TrashResult result = MoveToTrash(file, context);

    EXPECT_EQ(result.Error, TrashErrc::NoFreeName);
    EXPECT_EQ(randomCalls, kMaxTrashNameAttempts - kNumberedTrashNames);
    EXPECT_EQ(ReadFile(file), "keep");
    EXPECT_TRUE(NamesIn(HomeTrash() + "/files").empty());
}

TEST_F(TrashTest, RestorePutsFileBackAndRemovesInfo) {
    const std::string file = m_temp.Path("docs/a.txt");
    WriteFile(file, "back");
    const TrashResult result = MoveToTrash(file, Context());
    ASSERT_FALSE(result.Error);

    EXPECT_FALSE(RestoreFromTrash(result.Trashed));

    EXPECT_EQ(ReadFile(file), "back");
    EXPECT_TRUE(NamesIn(HomeTrash() + "/files").empty());
    EXPECT_TRUE(NamesIn(HomeTrash() + "/info").empty());
}

// A restore puts back only the file that the delete trashed, never over another file, and leaves
// the trash entry as it is when it cannot.
TEST_F(TrashTest, RestoreRefusesWhatIsNotTheTrashedFileOrWouldReplaceAFile) {
    enum class Change {
        NameTakenAgain,
        TrashEmptied,
        TrashNameReused,
        ChangedInTrash,
        InfoOfAnotherFile,
        InfoGone,
    };
    const struct {
        Change change;
        std::error_code expected;
    } cases[] = {
        {Change::NameTakenAgain, std::make_error_code(std::errc::file_exists)},
        {Change::TrashEmptied, TrashErrc::NotInTrash},
        {Change::TrashNameReused, TrashErrc::NotInTrash},
        {Change::ChangedInTrash, TrashErrc::NotInTrash},
        {Change::InfoOfAnotherFile, TrashErrc::NotInTrash},
        {Change::InfoGone, TrashErrc::NotInTrash},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.change));
        const std::string file = m_temp.Path("docs/a.txt");
        WriteFile(file, "trashed");
        const TrashResult result = MoveToTrash(file, Context());
        ASSERT_FALSE(result.Error);
        const std::string trashed = result.Trashed.TrashedPath;
        switch (c.change) {
            case Change::NameTakenAgain:
                WriteFile(file, "new file");
                break;
            case Change::TrashEmptied:
                std::filesystem::remove(trashed);
                break;
            case Change::TrashNameReused:
                // Emptied, and another file trashed under the same name since.
                std::filesystem::remove(trashed);
                WriteFile(trashed, "trashed");
                break;
            case Change::ChangedInTrash:
                WriteFile(trashed, "trashed, then edited");
                break;
            case Change::InfoOfAnotherFile:
                // The trash name now belongs to a file that another program trashed from
                // elsewhere, whatever the file in files/ looks like.
                WriteFile(result.Trashed.InfoPath, InfoText(m_temp.Path("elsewhere/a.txt")));
                break;
            case Change::InfoGone:
                std::filesystem::remove(result.Trashed.InfoPath);
                break;
        }
        const bool trashHeldAFile = Exists(trashed);
        const std::optional<std::string> info = ReadFile(result.Trashed.InfoPath);

        EXPECT_EQ(RestoreFromTrash(result.Trashed), c.expected);

        EXPECT_EQ(Exists(trashed), trashHeldAFile);
        EXPECT_EQ(ReadFile(result.Trashed.InfoPath), info);
        if (c.change == Change::NameTakenAgain) {
            EXPECT_EQ(ReadFile(file), "new file");
            EXPECT_EQ(ReadFile(trashed), "trashed");
        } else {
            EXPECT_FALSE(Exists(file));
        }
        std::filesystem::remove_all(m_temp.Path("docs"));
        std::filesystem::remove_all(HomeTrash());
    }
}

// The user empties the trash, and another program trashes a file of the same name, size and
// modification time from the same place, which takes over the freed inode: a restore must not
// take that file for the one that the delete trashed. Where the file system hands out the inode
// to another file, that is.
TEST_F(TrashTest, RestoreRefusesAnotherFileOnTheReusedInodeOfTheTrashedOne) {
    const std::string file = m_temp.Path("docs/a.txt");
    const struct timespec modified[2] = {{kDeletionTime, 0}, {kDeletionTime, 0}};
    WriteFile(file, "same size");
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), modified, 0), 0);
    const TrashResult result = MoveToTrash(file, Context());
    ASSERT_FALSE(result.Error);
    struct stat trashed {};
    ASSERT_EQ(lstat(result.Trashed.TrashedPath.c_str(), &trashed), 0);
    std::filesystem::remove(result.Trashed.TrashedPath);
    std::filesystem::remove(result.Trashed.InfoPath);
    // The other file is made after the clock has left the tick of the trashed file's last
    // change, so that the times that the file system gives it differ.
    for (;;) {
        struct timespec now {};
        clock_gettime(CLOCK_REALTIME_COARSE, &now);
        if (now.tv_sec > trashed.st_ctim.tv_sec ||
            (now.tv_sec == trashed.st_ctim.tv_sec && now.tv_nsec > trashed.st_ctim.tv_nsec)) {
            break;
        }
        const struct timespec pause = {0, 1'000'000};
        nanosleep(&pause, nullptr);
    }
    WriteFile(file, "same size");
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), modified, 0), 0);
    struct stat other {};
    ASSERT_EQ(lstat(file.c_str(), &other), 0);
    if (other.st_ino != trashed.st_ino) {
        GTEST_SKIP() << "the file system gave the other file another inode";
    }
    ASSERT_FALSE(MoveToTrash(file, Context()).Error);
    ASSERT_EQ(ReadFile(result.Trashed.InfoPath), InfoText(file));

    EXPECT_EQ(RestoreFromTrash(result.Trashed), TrashErrc::NotInTrash);

    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(ReadFile(result.Trashed.TrashedPath), "same size");
    EXPECT_EQ(ReadFile(result.Trashed.InfoPath), InfoText(file));
}

// Whatever part of the entry differs from what the delete remembered, the restore takes it for
// another file's and leaves everything as it is.
TEST_F(TrashTest, RestoreRefusesAnEntryThatDiffersInAnyRememberedPart) {
    const struct {
        const char* what;
        void (*change)(TrashStamp& stamp);
    } cases[] = {
        {"inode", [](TrashStamp& stamp) { ++stamp.File.Identity.Inode; }},
        {"size", [](TrashStamp& stamp) { ++stamp.File.Size; }},
        {"modification time", [](TrashStamp& stamp) { ++stamp.File.Modified.Nanoseconds; }},
        {"change time", [](TrashStamp& stamp) { ++stamp.File.Changed.Nanoseconds; }},
        {"birth time",
         [](TrashStamp& stamp) {
             stamp.Born = platform::FileTime{stamp.Born.value_or(platform::FileTime{}).Seconds + 1};
         }},
        {".trashinfo", [](TrashStamp& stamp) { stamp.InfoText += "\n"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = m_temp.Path("docs/a.txt");
        WriteFile(file, "trashed");
        TrashResult result = MoveToTrash(file, Context());
        ASSERT_FALSE(result.Error);
        ASSERT_TRUE(result.Trashed.Stamp);
        EXPECT_EQ(result.Trashed.Stamp->InfoText, InfoText(file));
        struct stat trashed {};
        ASSERT_EQ(lstat(result.Trashed.TrashedPath.c_str(), &trashed), 0);
        EXPECT_EQ(result.Trashed.Stamp->File.Changed,
                  (platform::FileTime{trashed.st_ctim.tv_sec,
                                      static_cast<std::int32_t>(trashed.st_ctim.tv_nsec)}));
        c.change(*result.Trashed.Stamp);

        EXPECT_EQ(RestoreFromTrash(result.Trashed), TrashErrc::NotInTrash);

        EXPECT_FALSE(Exists(file));
        EXPECT_EQ(ReadFile(result.Trashed.TrashedPath), "trashed");
        EXPECT_EQ(ReadFile(result.Trashed.InfoPath), InfoText(file));
        std::filesystem::remove_all(HomeTrash());
    }
}

TEST_F(TrashTest, TrashesSymbolicLinkItselfNotItsTarget) {
    const std::string target = m_temp.Path("docs/target.txt");
    WriteFile(target, "target");
    const std::string link = m_temp.Path("docs/link.txt");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);

    ASSERT_FALSE(MoveToTrash(link, Context()).Error);

    EXPECT_FALSE(Exists(link));
    EXPECT_EQ(ReadFile(target), "target");
    EXPECT_TRUE(std::filesystem::is_symlink(TrashedFile("link.txt")));
}

TEST_F(TrashTest, MissingOrRefusedPathsFailWithoutTouchingAnything) {
    WriteFile(m_temp.Path("docs/a.txt"), "a");
    for (const std::string& path : {m_temp.Path("docs/missing.txt"), m_temp.Path("gone/a.txt"),
                                    m_temp.Path("docs/.."), std::string()}) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(MoveToTrash(path, Context()).Error);
    }
    EXPECT_EQ(ReadFile(m_temp.Path("docs/a.txt")), "a");
    EXPECT_TRUE(NamesIn(HomeTrash() + "/info").empty());
}

// Without XDG_DATA_HOME (or with a relative one, which does not count) the trash is
// ~/.local/share/Trash, made with every missing folder on the way, and nothing lands in the
// current folder.
TEST_F(TrashTest, WithoutXdgDataHomeMakesTrashUnderHome) {
    for (const std::optional<std::string>& dataHome :
         {std::optional<std::string>(), std::optional<std::string>("relative/data")}) {
        SCOPED_TRACE(dataHome.value_or("unset"));
        TempFolder home;
        TempFolder current;
        ScopedEnv homeEnv("HOME", home.Root());
        ScopedEnv dataHomeEnv("XDG_DATA_HOME", dataHome);
        const std::string oldCurrent = std::filesystem::current_path().string();
        ASSERT_EQ(chdir(current.Root().c_str()), 0);
        const std::string file = m_temp.Path("docs/a.txt");
        WriteFile(file, "a");

        const TrashResult result = MoveToTrash(file);

        ASSERT_EQ(chdir(oldCurrent.c_str()), 0);
        ASSERT_FALSE(result.Error) << result.Error.message();
        const std::string trash = home.Root() + "/.local/share/Trash";
        EXPECT_EQ(ReadFile(trash + "/files/a.txt"), "a");
        EXPECT_TRUE(Exists(trash + "/info/a.txt.trashinfo"));
        for (const std::string& folder : {home.Root() + "/.local", home.Root() + "/.local/share",
                                          trash, trash + "/files", trash + "/info"}) {
            SCOPED_TRACE(folder);
            EXPECT_EQ(ModeOf(folder), 0700U);
        }
        EXPECT_TRUE(NamesIn(current.Root()).empty());
        EXPECT_FALSE(Exists(HomeTrash()));
    }
}

TEST_F(TrashTest, WithoutAnyHomeFailsAndKeepsFile) {
    ScopedEnv noHome("HOME", std::nullopt);
    ScopedEnv noDataHome("XDG_DATA_HOME", std::nullopt);
    const std::string file = m_temp.Path("docs/a.txt");
    WriteFile(file, "keep");

    EXPECT_EQ(MoveToTrash(file).Error, TrashErrc::NoHomeFolder);
    EXPECT_EQ(ReadFile(file), "keep");
}

TEST_F(TrashTest, HomeTrashThatCannotBeMadeFailsAndKeepsFile) {
    WriteFile(m_temp.Path("data"), "a file where the data folder should be");
    const std::string file = m_temp.Path("docs/a.txt");
    WriteFile(file, "keep");

    EXPECT_TRUE(MoveToTrash(file, Context()).Error);
    EXPECT_EQ(ReadFile(file), "keep");
}

// A file on another file system than the home trash goes to the trash at that file system's top,
// with Path= relative to the top.
TEST_F(TrashTest, FileOnOtherFileSystemGoesToTopDirTrash) {
    enum class Shared { None, Sticky, SymlinkToSticky, NotSticky };
    struct Case {
        const char* what;
        Shared shared;
        std::string trash;  // relative to the top
    };
    const Case cases[] = {
        {"no .Trash", Shared::None, ".Trash-" + m_uid},
        {".Trash with sticky bit", Shared::Sticky, ".Trash/" + m_uid},
        {".Trash is a symbolic link", Shared::SymlinkToSticky, ".Trash-" + m_uid},
        {".Trash without sticky bit", Shared::NotSticky, ".Trash-" + m_uid},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string top = m_temp.Path("volume" + std::to_string(index++));
        const std::string file = top + "/sub/f 1.txt";
        WriteFile(file, c.what);
        if (c.shared == Shared::Sticky || c.shared == Shared::NotSticky) {
            ASSERT_EQ(mkdir((top + "/.Trash").c_str(), 0777), 0);
            ASSERT_EQ(chmod((top + "/.Trash").c_str(), c.shared == Shared::Sticky ? 01777 : 0777),
                      0);
        } else if (c.shared == Shared::SymlinkToSticky) {
            ASSERT_EQ(mkdir((top + "/elsewhere").c_str(), 0777), 0);
            ASSERT_EQ(chmod((top + "/elsewhere").c_str(), 01777), 0);
            ASSERT_EQ(symlink("elsewhere", (top + "/.Trash").c_str()), 0);
        }

        const TrashResult result = MoveToTrash(file, OtherFileSystemContext(top));

        ASSERT_FALSE(result.Error) << result.Error.message();
        const std::string trash = top + "/" + c.trash;
        EXPECT_FALSE(Exists(file));
        EXPECT_EQ(ReadFile(trash + "/files/f 1.txt"), c.what);
        EXPECT_EQ(ReadFile(trash + "/info/f 1.txt.trashinfo"), InfoText("sub/f%201.txt"));
        EXPECT_EQ(ModeOf(trash), 0700U);
        EXPECT_FALSE(Exists(HomeTrash()));
        if (c.shared == Shared::SymlinkToSticky) {
            EXPECT_TRUE(NamesIn(top + "/elsewhere").empty());
        }
    }
}

TEST_F(TrashTest, FileOnFileSystemWithoutUsableTrashStays) {
    enum class Setup { NoTopDir, OwnTrashIsFile, OwnTrashIsSymlink };
    struct Case {
        const char* what;
        Setup setup;
    };
    const Case cases[] = {
        {"top of the file system unknown", Setup::NoTopDir},
        {".Trash-uid is a file", Setup::OwnTrashIsFile},
        {".Trash-uid is a symbolic link", Setup::OwnTrashIsSymlink},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string top = m_temp.Path("volume" + std::to_string(index++));
        const std::string file = top + "/f.txt";
        WriteFile(file, "keep");
        const std::string own = top + "/.Trash-" + m_uid;
        if (c.setup == Setup::OwnTrashIsFile) {
            WriteFile(own, "");
        } else if (c.setup == Setup::OwnTrashIsSymlink) {
            ASSERT_EQ(mkdir((top + "/elsewhere").c_str(), 0700), 0);
            ASSERT_EQ(symlink("elsewhere", own.c_str()), 0);
        }

        const TrashResult result =
            MoveToTrash(file, OtherFileSystemContext(c.setup == Setup::NoTopDir ? "" : top));

        EXPECT_EQ(result.Error, TrashErrc::NoUsableTrash);
        EXPECT_EQ(ReadFile(file), "keep");
        EXPECT_FALSE(Exists(HomeTrash()));
        if (c.setup == Setup::OwnTrashIsSymlink) {
            EXPECT_TRUE(NamesIn(top + "/elsewhere").empty());
        }
    }
}

TEST(ChooseTrashFolder, NeverChoosesTrashOnAnotherDevice) {
    TempFolder top;
    const dev_t realDevice = DeviceOf(top.Root());
    // The file claims a device that neither the home trash nor the top folder's trash lies on.
    const TrashFolderChoice choice =
        ChooseTrashFolder(realDevice + 1, realDevice, top.Path("Trash"), top.Root(), getuid());
    EXPECT_EQ(choice.Error, TrashErrc::NoUsableTrash);
}

TEST(FindTopDir, StopsAtLastFolderOnSameDevice) {
    TempFolder temp;
    const dev_t device = DeviceOf(temp.Root());
    const std::string top = FindTopDir(temp.Root(), device);
    ASSERT_FALSE(top.empty());
    EXPECT_EQ(DeviceOf(top), device);
    EXPECT_EQ(temp.Root().compare(0, top.size(), top), 0);
    if (top != "/") {
        EXPECT_NE(DeviceOf(std::filesystem::path(top).parent_path().string()), device);
    }
    EXPECT_EQ(FindTopDir(temp.Root(), device + 1), "");
    EXPECT_EQ(FindTopDir("relative", device), "");
}

// Uses /dev/shm where it is a real second file system: the home trash lies in the temporary
// folder, the file on tmpfs. Only the top folder is moved from /dev/shm itself into the test's own
// folder there, so that the test does not leave a trash at the top of /dev/shm.
TEST_F(TrashTest, FileOnRealSecondFileSystemStaysOnIt) {
    const std::string base = platform_testing::OtherFileSystemBase();
    if (base.empty()) {
        GTEST_SKIP() << "no writable second file system";
    }
    TempFolder volume(base);
    const std::string file = volume.Path("f.txt");
    WriteFile(file, "on tmpfs");
    WriteFile(m_temp.Path("docs/home.txt"), "home");
    ASSERT_FALSE(MoveToTrash(m_temp.Path("docs/home.txt"), Context()).Error);
    TrashContext context = Context();
    std::string realTop;
    context.FindTopDir = [&](const std::string& folder, dev_t device) {
        realTop = FindTopDir(folder, device);
        return volume.Root();
    };

    const TrashResult result = MoveToTrash(file, context);

    ASSERT_FALSE(result.Error) << result.Error.message();
    EXPECT_EQ(realTop, base);
    const std::string trash = volume.Path(".Trash-" + m_uid);
    EXPECT_EQ(ReadFile(trash + "/files/f.txt"), "on tmpfs");
    EXPECT_EQ(ReadFile(trash + "/info/f.txt.trashinfo"), InfoText("f.txt"));
    EXPECT_EQ(NamesIn(HomeTrash() + "/files"), std::vector<std::string>{"home.txt"});
}

}  // namespace
}  // namespace platform
