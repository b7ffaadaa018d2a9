#include "platform/file_operations.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/posix/file_operations_posix.h"
#include "platform/posix/file_system_posix.h"
#include "support/platform_fixture.h"

namespace platform {
namespace {

using platform_testing::Exists;
using platform_testing::ModeOf;
using platform_testing::NamesIn;
using platform_testing::ReadFile;
using platform_testing::ScopedEnv;
using platform_testing::TempFolder;
using platform_testing::WriteFile;

// System calls whose renameat2 reports `error` for renames of one path: as if the kernel refused
// the flag (EINVAL) or the file lay on another file system (EXDEV).
SystemCalls RenameFailsFor(const std::string& from, int error) {
    SystemCalls calls = RealSystemCalls();
    const auto real = calls.RenameAt2;
    calls.RenameAt2 = [from, error, real](const char* a, const char* b, unsigned flags) {
        if (from == a) {
            errno = error;
            return -1;
        }
        return real(a, b, flags);
    };
    return calls;
}

struct timespec ModifiedTime(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mtim;
}

class FileOperationsTest : public ::testing::Test {
  protected:
    std::string HomeTrash() const { return m_temp.Path("data/Trash"); }

    TempFolder m_temp;
    ScopedEnv m_dataHome{"XDG_DATA_HOME", m_temp.Path("data")};
    ScopedEnv m_home{"HOME", m_temp.Path("home")};
};

TEST_F(FileOperationsTest, RenameGivesNewName) {
    const std::string from = m_temp.Path("a.txt");
    WriteFile(from, "a");
    struct Case {
        const char* what;
        SystemCalls calls;
    };
    const Case cases[] = {
        {"renameat2", RealSystemCalls()},
        {"link and unlink where the flag is refused", RenameFailsFor(from, EINVAL)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(from, c.what);
        const std::string to = m_temp.Path(std::string(c.what) + ".txt");

        EXPECT_FALSE(RenameNoReplace(from, to, c.calls));

        EXPECT_FALSE(Exists(from));
        EXPECT_EQ(ReadFile(to), c.what);
    }
}

TEST_F(FileOperationsTest, RenameOntoExistingNameFailsAndChangesNothing) {
    const std::string from = m_temp.Path("a.txt");
    const std::string to = m_temp.Path("b.txt");
    const std::string alias = m_temp.Path("alias.txt");
    struct Case {
        const char* what;
        SystemCalls calls;
        bool targetIsHardLink;  // plain rename(2) would "succeed" and do nothing
    };
    const Case cases[] = {
        {"renameat2", RealSystemCalls(), false},
        {"link and unlink", RenameFailsFor(from, EINVAL), false},
        {"renameat2 onto a hard link", RealSystemCalls(), true},
        {"link and unlink onto a hard link", RenameFailsFor(from, EINVAL), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(from, "from");
        const std::string target = c.targetIsHardLink ? alias : to;
        if (c.targetIsHardLink) {
            unlink(alias.c_str());
            ASSERT_EQ(link(from.c_str(), alias.c_str()), 0);
        } else {
            WriteFile(to, "to");
        }

        EXPECT_EQ(RenameNoReplace(from, target, c.calls), std::errc::file_exists);

        EXPECT_EQ(ReadFile(from), "from");
        EXPECT_EQ(ReadFile(target), c.targetIsHardLink ? "from" : "to");
    }
}

TEST_F(FileOperationsTest, RenameThatChangesOnlyLetterCaseIsRealRename) {
    const std::string from = m_temp.Path("a.txt");
    WriteFile(from, "a");

    EXPECT_FALSE(RenameNoReplace(from, m_temp.Path("A.TXT")));

    EXPECT_EQ(NamesIn(m_temp.Root()), std::vector<std::string>{"A.TXT"});
}

TEST_F(FileOperationsTest, MoveIntoFolderOnSameFileSystem) {
    const std::string source = m_temp.Path("from/a.txt");
    WriteFile(source, "a");
    const std::string folder = m_temp.Path("to");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);

    for (const std::string& given : {folder, folder + "/"}) {
        SCOPED_TRACE(given);
        WriteFile(source, "a");
        const MoveResult result = MoveToFolder(source, given);

        ASSERT_FALSE(result.Error) << result.Error.message();
        EXPECT_EQ(result.NewPath, folder + "/a.txt");
        EXPECT_FALSE(result.Replaced);
        EXPECT_FALSE(Exists(source));
        EXPECT_EQ(ReadFile(folder + "/a.txt"), "a");
        unlink((folder + "/a.txt").c_str());
    }
}

TEST_F(FileOperationsTest, MoveReplacesSameNamedFileAfterTrashingIt) {
    const std::string source = m_temp.Path("from/a.txt");
    const std::string replaced = m_temp.Path("to/a.txt");
    WriteFile(source, "new");
    WriteFile(replaced, "old");

    const MoveResult result = MoveToFolder(source, m_temp.Path("to"));

    ASSERT_FALSE(result.Error) << result.Error.message();
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(ReadFile(replaced), "new");
    ASSERT_TRUE(result.Replaced);
    EXPECT_EQ(result.Replaced->OriginalPath, replaced);
    EXPECT_EQ(ReadFile(HomeTrash() + "/files/a.txt"), "old");
    const auto info = ReadFile(HomeTrash() + "/info/a.txt.trashinfo");
    ASSERT_TRUE(info);
    EXPECT_NE(info->find("\nPath=" + replaced + "\n"), std::string::npos);
}

TEST_F(FileOperationsTest, MoveFailsAndChangesNothingWhenReplacedFileCannotBeTrashed) {
    WriteFile(m_temp.Path("data"), "a file where the trash's folder should be");
    const std::string source = m_temp.Path("from/a.txt");
    const std::string replaced = m_temp.Path("to/a.txt");
    WriteFile(source, "new");
    WriteFile(replaced, "old");

    EXPECT_TRUE(MoveToFolder(source, m_temp.Path("to")).Error);

    EXPECT_EQ(ReadFile(source), "new");
    EXPECT_EQ(ReadFile(replaced), "old");
}

TEST_F(FileOperationsTest, MoveIntoOwnFolderLeavesFileAlone) {
    const std::string source = m_temp.Path("from/a.txt");
    WriteFile(source, "a");

    const MoveResult result = MoveToFolder(source, m_temp.Path("from/../from"));

    EXPECT_FALSE(result.Error);
    EXPECT_EQ(ReadFile(source), "a");
    EXPECT_FALSE(Exists(HomeTrash()));
}

TEST_F(FileOperationsTest, MoveRefusesBadTargets) {
    const std::string source = m_temp.Path("from/a.txt");
    WriteFile(source, "a");
    WriteFile(m_temp.Path("to/a.txt/inside"), "a folder of the file's name");
    WriteFile(m_temp.Path("plain"), "not a folder");
    for (const std::string& folder :
         {m_temp.Path("to"), m_temp.Path("plain"), m_temp.Path("missing")}) {
        SCOPED_TRACE(folder);
        EXPECT_TRUE(MoveToFolder(source, folder).Error);
        EXPECT_EQ(ReadFile(source), "a");
    }
    EXPECT_FALSE(Exists(HomeTrash()));
}

// The copy path: the rename of the source reports EXDEV as it would across file systems.
TEST_F(FileOperationsTest, MoveAcrossFileSystemsCopiesContentsModeAndTimes) {
    const std::string source = m_temp.Path("from/a.bin");
    std::string contents(3 << 20, '\0');
    for (std::size_t i = 0; i < contents.size(); ++i) {
        contents[i] = static_cast<char>(i * 7 + i / 4096);
    }
    WriteFile(source, contents);
    ASSERT_EQ(chmod(source.c_str(), 0640), 0);
    const struct timespec times[2] = {{1000000000, 5}, {1200000000, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
    WriteFile(m_temp.Path("to/a.bin"), "old");

    const MoveResult result = MoveToFolder(source, m_temp.Path("to"), RenameFailsFor(source, EXDEV),
                                           TrashContextFromEnvironment());

    ASSERT_FALSE(result.Error) << result.Error.message();
    const std::string target = m_temp.Path("to/a.bin");
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(ReadFile(target), contents);
    EXPECT_EQ(ModeOf(target), 0640U);
    EXPECT_EQ(ModifiedTime(target).tv_sec, 1200000000);
    EXPECT_EQ(ModifiedTime(target).tv_nsec, 123456789);
    EXPECT_EQ(NamesIn(m_temp.Path("to")), std::vector<std::string>{"a.bin"});
    EXPECT_EQ(ReadFile(HomeTrash() + "/files/a.bin"), "old");
}

TEST_F(FileOperationsTest, FailedCopyAcrossFileSystemsLeavesEverythingAsItWas) {
    const std::string source = m_temp.Path("from/a.txt");
    const std::string replaced = m_temp.Path("to/a.txt");
    struct Case {
        const char* what;
        bool failWrite;  // else the sync fails
        bool withReplace;
    };
    const Case cases[] = {
        {"disk full", true, false},
        {"sync fails", false, false},
        {"disk full while replacing", true, true},
    };
    ASSERT_EQ(mkdir(m_temp.Path("to").c_str(), 0755), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(source, "source");
        unlink(replaced.c_str());
        if (c.withReplace) {
            WriteFile(replaced, "old");
        }
        SystemCalls calls = RenameFailsFor(source, EXDEV);
        if (c.failWrite) {
            calls.Write = [](int, const void*, std::size_t) -> ssize_t {
                errno = ENOSPC;
                return -1;
            };
        } else {
            calls.Fsync = [](int) {
                errno = EIO;
                return -1;
            };
        }

        const MoveResult result =
            MoveToFolder(source, m_temp.Path("to"), calls, TrashContextFromEnvironment());

        EXPECT_EQ(result.Error, c.failWrite ? std::errc::no_space_on_device : std::errc::io_error);
        EXPECT_FALSE(result.Replaced);
        EXPECT_EQ(ReadFile(source), "source");
        // No partial copy and no temporary file is left behind.
        EXPECT_EQ(NamesIn(m_temp.Path("to")),
                  c.withReplace ? std::vector<std::string>{"a.txt"} : std::vector<std::string>{});
        if (c.withReplace) {
            EXPECT_EQ(ReadFile(replaced), "old");
            EXPECT_TRUE(NamesIn(HomeTrash() + "/files").empty());
            EXPECT_TRUE(NamesIn(HomeTrash() + "/info").empty());
        }
    }
}

// An access ACL as the kernel stores it: owner rw, user 1234 r, group r, mask r, others none.
std::string AccessAcl() {
    std::string acl;
    const auto add32 = [&acl](std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            acl += static_cast<char>((value >> shift) & 0xFF);
        }
    };
    const auto entry = [&](std::uint16_t tag, std::uint16_t perm, std::uint32_t id) {
        add32(tag | (static_cast<std::uint32_t>(perm) << 16));
        add32(id);
    };
    add32(2);  // version
    entry(0x01, 6, 0xFFFFFFFF);
    entry(0x02, 4, 1234);
    entry(0x04, 4, 0xFFFFFFFF);
    entry(0x10, 4, 0xFFFFFFFF);
    entry(0x20, 0, 0xFFFFFFFF);
    return acl;
}

std::string Attribute(const std::string& path, const char* name) {
    char value[256];
    const ssize_t size = getxattr(path.c_str(), name, value, sizeof value);
    return size < 0 ? "<none>" : std::string(value, static_cast<std::size_t>(size));
}

TEST_F(FileOperationsTest, MoveAcrossFileSystemsKeepsExtendedAttributesAndAcls) {
    const std::string source = m_temp.Path("from/a.txt");
    WriteFile(source, "a");
    ASSERT_EQ(mkdir(m_temp.Path("to").c_str(), 0755), 0);
    if (setxattr(source.c_str(), "user.origin", "camera", 6, 0) != 0) {
        GTEST_SKIP() << "no extended attributes here";
    }
    const std::string acl = AccessAcl();
    const bool withAcl =
        setxattr(source.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
    const std::string aclBefore = Attribute(source, "system.posix_acl_access");

    const MoveResult result = MoveToFolder(source, m_temp.Path("to"), RenameFailsFor(source, EXDEV),
                                           TrashContextFromEnvironment());

    ASSERT_FALSE(result.Error) << result.Error.message();
    const std::string target = m_temp.Path("to/a.txt");
    EXPECT_EQ(Attribute(target, "user.origin"), "camera");
    if (withAcl) {
        EXPECT_EQ(Attribute(target, "system.posix_acl_access"), aclBefore);
    }
}

// The copy is made in its new folder, whose default ACL it would inherit: a file that had no ACL
// must not gain one (and with it rights for other users) by being moved.
TEST_F(FileOperationsTest, MoveAcrossFileSystemsGivesNoAclToAFileWithoutOne) {
    const std::string source = m_temp.Path("from/a.txt");
    WriteFile(source, "a");
    ASSERT_EQ(chmod(source.c_str(), 0600), 0);
    const std::string folder = m_temp.Path("to");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string acl = AccessAcl();
    if (setxattr(folder.c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0) != 0) {
        GTEST_SKIP() << "no ACLs here";
    }

    const MoveResult result =
        MoveToFolder(source, folder, RenameFailsFor(source, EXDEV), TrashContextFromEnvironment());

    ASSERT_FALSE(result.Error) << result.Error.message();
    EXPECT_EQ(Attribute(folder + "/a.txt", "system.posix_acl_access"), "<none>");
    EXPECT_EQ(ModeOf(folder + "/a.txt"), 0600U);
}

TEST_F(FileOperationsTest, AnAttributeThatTheTargetRefusesKeepsTheSourceInPlace) {
    const std::string source = m_temp.Path("from/a.txt");
    WriteFile(source, "a");
    ASSERT_EQ(mkdir(m_temp.Path("to").c_str(), 0755), 0);
    if (setxattr(source.c_str(), "user.origin", "camera", 6, 0) != 0) {
        GTEST_SKIP() << "no extended attributes here";
    }
    SystemCalls calls = RenameFailsFor(source, EXDEV);
    calls.FSetXattr = [](int, const char*, const void*, std::size_t, int) {
        errno = ENOTSUP;
        return -1;
    };

    const MoveResult result =
        MoveToFolder(source, m_temp.Path("to"), calls, TrashContextFromEnvironment());

    EXPECT_EQ(result.Error, std::errc::not_supported);
    EXPECT_EQ(&result.Error.category(), &AttributeCategory());
    EXPECT_EQ(ReadFile(source), "a");
    EXPECT_EQ(Attribute(source, "user.origin"), "camera");
    EXPECT_TRUE(NamesIn(m_temp.Path("to")).empty());
}

TEST_F(FileOperationsTest, SymbolicLinkIsNotCopiedAcrossFileSystems) {
    WriteFile(m_temp.Path("from/target.txt"), "target");
    const std::string link = m_temp.Path("from/link.txt");
    ASSERT_EQ(symlink("target.txt", link.c_str()), 0);
    ASSERT_EQ(mkdir(m_temp.Path("to").c_str(), 0755), 0);

    const MoveResult result = MoveToFolder(link, m_temp.Path("to"), RenameFailsFor(link, EXDEV),
                                           TrashContextFromEnvironment());

    EXPECT_EQ(result.Error, std::errc::cross_device_link);
    EXPECT_EQ(ReadFile(link), "target");
    EXPECT_TRUE(NamesIn(m_temp.Path("to")).empty());
}

TEST_F(FileOperationsTest, MoveToRealSecondFileSystem) {
    const std::string base = platform_testing::OtherFileSystemBase();
    if (base.empty()) {
        GTEST_SKIP() << "no writable second file system";
    }
    TempFolder other(base);
    const std::string source = m_temp.Path("from/a.txt");
    WriteFile(source, "across");
    ASSERT_EQ(chmod(source.c_str(), 0604), 0);
    const bool withAttribute = setxattr(source.c_str(), "user.origin", "camera", 6, 0) == 0;

    const MoveResult result = MoveToFolder(source, other.Root());

    if (withAttribute && result.Error.category() == AttributeCategory()) {
        // The second file system keeps no such attributes: the file stays where it was.
        EXPECT_EQ(ReadFile(source), "across");
        return;
    }
    ASSERT_FALSE(result.Error) << result.Error.message();
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(ReadFile(other.Path("a.txt")), "across");
    if (withAttribute) {
        EXPECT_EQ(Attribute(other.Path("a.txt"), "user.origin"), "camera");
    }
    EXPECT_EQ(ModeOf(other.Path("a.txt")), 0604U);
    EXPECT_EQ(NamesIn(other.Root()), std::vector<std::string>{"a.txt"});
}

}  // namespace
}  // namespace platform
