#include "platform/posix/file_system_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace {

using functest::NamesIn;
using functest::ReadBytes;
using functest::WriteFile;

TEST(WriteFileAtomically, CreatesAndReplacesFilesLeavingNothingElseBehind) {
    functest::TempFolder folder;
    const std::string path = folder / "dopplet.INI";
    ASSERT_FALSE(platform::WriteFileAtomically(path, "first\r\n"));
    EXPECT_EQ(ReadBytes(path), "first\r\n");
    ASSERT_FALSE(platform::WriteFileAtomically(path, "second"));
    EXPECT_EQ(ReadBytes(path), "second");
    ASSERT_FALSE(platform::WriteFileAtomically(path, ""));
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_EQ(NamesIn(folder.Root()), std::vector<std::string>{"dopplet.INI"});
}

TEST(WriteFileAtomically, KeepsTheOldFilesPermissions) {
    functest::TempFolder folder;
    const std::string path = folder / "report.txt";
    WriteFile(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_FALSE(platform::WriteFileAtomically(path, "new"));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(WriteFileAtomically, ReplacesTheTargetOfASymbolicLinkAndKeepsTheLink) {
    functest::TempFolder folder;
    const std::string target = folder / "real/dopplet.INI";
    const std::string link = folder / "dopplet.INI";
    WriteFile(target, "old");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_FALSE(platform::WriteFileAtomically(link, "new"));
    struct stat st {};
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadBytes(target), "new");
}

// Stand-ins for single system calls: each fails the way a full disk, a lost device or a
// refusing file system makes it fail. Writes let some bytes through first.
int FailOpen(const char*, int, mode_t) {
    errno = EACCES;
    return -1;
}

ssize_t FailWriteAfterSomeBytes(int fd, const void* data, size_t size) {
    static int calls = 0;
    if (++calls % 2 == 1) {
        return ::write(fd, data, size / 2 + 1);
    }
    errno = ENOSPC;
    return -1;
}

int FailFsync(int) {
    errno = EIO;
    return -1;
}

int FailRename(const char*, const char*) {
    errno = EXDEV;
    return -1;
}

ssize_t WriteOneByte(int fd, const void* data, size_t size) {
    return ::write(fd, data, size > 0 ? 1 : 0);
}

TEST(WriteFileAtomically, AFailedStepLeavesTheOldFileAsItWas) {
    const platform::SystemCalls& system = platform::RealSystemCalls();
    struct Case {
        const char* name;
        platform::SystemCalls calls;
        std::errc expected;
    };
    const auto with = [&system](auto member, auto call) {
        platform::SystemCalls calls = system;
        calls.*member = call;
        return calls;
    };
    const Case cases[] = {
        {"temporary file refused", with(&platform::SystemCalls::Open, FailOpen),
         std::errc::permission_denied},
        {"disk full while writing", with(&platform::SystemCalls::Write, FailWriteAfterSomeBytes),
         std::errc::no_space_on_device},
        {"sync fails", with(&platform::SystemCalls::Fsync, FailFsync), std::errc::io_error},
        {"rename fails", with(&platform::SystemCalls::Rename, FailRename),
         std::errc::cross_device_link},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        functest::TempFolder folder;
        const std::string path = folder / "dopplet.INI";
        WriteFile(path, "[DOPPLETF]\r\nposX=1\r\n");
        EXPECT_EQ(platform::WriteFileAtomically(path, std::string(10000, 'x'), c.calls),
                  c.expected);
        EXPECT_EQ(ReadBytes(path), "[DOPPLETF]\r\nposX=1\r\n");
        EXPECT_EQ(NamesIn(folder.Root()), std::vector<std::string>{"dopplet.INI"});
    }
}

// A file in a folder where no temporary file can be made is rewritten in place; a write that
// fails there must not leave the file half new.
TEST(WriteFileAtomically, AFailedWriteInPlacePutsTheOldBytesBack) {
    const auto refuseNewFiles = [](const char* path, int flags, mode_t mode) {
        if ((flags & O_CREAT) != 0) {
            errno = EACCES;
            return -1;
        }
        return ::open(path, flags, mode);
    };
    // Lets some bytes through, then fails once, as a disk that fills and is freed again.
    const auto writes = std::make_shared<int>(0);
    const auto failOnceAfterSomeBytes = [writes](int fd, const void* data, size_t size) {
        if (++*writes == 2) {
            errno = ENOSPC;
            return ssize_t{-1};
        }
        return ::write(fd, data, *writes == 1 ? size / 2 : size);
    };
    const platform::SystemCalls& system = platform::RealSystemCalls();
    platform::SystemCalls fullDisk = system;
    fullDisk.Open = refuseNewFiles;
    fullDisk.Write = failOnceAfterSomeBytes;
    platform::SystemCalls failingSync = system;
    failingSync.Open = refuseNewFiles;
    failingSync.Fsync = FailFsync;
    struct Case {
        const char* name;
        std::string contents;
        const platform::SystemCalls& calls;
        std::errc expected;
    };
    const Case cases[] = {
        {"disk full while writing more", std::string(10000, 'x'), fullDisk,
         std::errc::no_space_on_device},
        {"disk full while writing less", "short", fullDisk, std::errc::no_space_on_device},
        {"sync fails", std::string(10000, 'x'), failingSync, std::errc::io_error},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        *writes = 0;
        functest::TempFolder folder;
        const std::string path = folder / "dopplet.INI";
        const std::string old = "[DOPPLETF]\r\nposX=1\r\n" + std::string(100, ';');
        WriteFile(path, old);
        EXPECT_EQ(platform::WriteFileAtomically(path, c.contents, c.calls), c.expected);
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(NamesIn(folder.Root()), std::vector<std::string>{"dopplet.INI"});
    }
}

TEST(WriteFileAtomically, WritesEverythingThroughShortWrites) {
    const platform::SystemCalls& system = platform::RealSystemCalls();
    platform::SystemCalls calls = system;
    calls.Write = WriteOneByte;
    functest::TempFolder folder;
    const std::string path = folder / "report.txt";
    ASSERT_FALSE(platform::WriteFileAtomically(path, "a line\r\n", calls));
    EXPECT_EQ(ReadBytes(path), "a line\r\n");
}

TEST(WriteFileAtomically, RefusesToReplaceAFolder) {
    functest::TempFolder folder;
    const std::string path = folder / "settings";
    WriteFile(path + "/inside", "kept");
    EXPECT_EQ(platform::WriteFileAtomically(path, "x"), std::errc::is_a_directory);
    EXPECT_EQ(ReadBytes(path + "/inside"), "kept");
    EXPECT_EQ(NamesIn(folder.Root()), std::vector<std::string>{"settings"});
}

TEST(WriteFileAtomically, FailsInAFolderThatIsMissing) {
    functest::TempFolder folder;
    EXPECT_EQ(platform::WriteFileAtomically(folder / "missing/report.txt", "x"),
              std::errc::no_such_file_or_directory);
    EXPECT_TRUE(NamesIn(folder.Root()).empty());
}

TEST(WriteFileAtomically, FollowsTheFileAndFolderPermissions) {
    struct Case {
        const char* name;
        mode_t folderMode;
        mode_t fileMode;  // 0: no old file
        bool written;
    };
    const Case cases[] = {
        {"read-only file in a writable folder: not replaced", 0777, 0444, false},
        {"writable file in a read-only folder: written in place", 0555, 0666, true},
        {"read-only file in a read-only folder", 0555, 0444, false},
        {"new file in a read-only folder", 0555, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        functest::TempFolder folder;
        const std::string path = folder / "locked/dopplet.INI";
        WriteFile(folder / "locked/other", "");
        if (c.fileMode != 0) {
            WriteFile(path, "the old contents");
            ASSERT_EQ(chmod(path.c_str(), c.fileMode), 0);
        }
        ASSERT_EQ(chmod((folder / "locked").c_str(), c.folderMode), 0);
        const std::string failure = functest::RunWithoutPrivileges([&]() -> std::string {
            const std::error_code error = platform::WriteFileAtomically(path, "new");
            if (c.written) {
                return error ? "failed: " + error.message() : "";
            }
            return error == std::errc::permission_denied ? "" : "not refused: " + error.message();
        });
        EXPECT_EQ(failure, "");
        const std::string expected =
            c.written ? "new" : (c.fileMode != 0 ? "the old contents" : "<missing>");
        EXPECT_EQ(ReadBytes(path), expected);
        std::vector<std::string> names{"other"};
        if (c.fileMode != 0) {
            names.insert(names.begin(), "dopplet.INI");
        }
        EXPECT_EQ(NamesIn(folder / "locked"), names);
        chmod((folder / "locked").c_str(), 0755);
    }
}

}  // namespace
