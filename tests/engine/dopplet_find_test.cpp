// dopplet-find as a script sees it: its output, its exit status and its usage text.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/temp_tree.h"

namespace {

using testing_support::TempTree;

struct FindResult {
    std::string out;
    int status = -1;
};

FindResult RunFind(const std::string& arguments) {
    FindResult run;
    const std::string command = std::string(DOPPLET_FIND_PATH) + " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, got);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

TEST(DoppletFind, PrintsEachGroupThenABlankLine) {
    TempTree tree;
    tree.File("a", "one");
    tree.File("b", "one");
    const FindResult run = RunFind(Quoted(tree.Root()));
    EXPECT_EQ(run.status, 0);
    const std::string ab = tree.Path("a") + "\n" + tree.Path("b") + "\n\n";
    const std::string ba = tree.Path("b") + "\n" + tree.Path("a") + "\n\n";
    EXPECT_TRUE(run.out == ab || run.out == ba) << run.out;
}

TEST(DoppletFind, PrintsTheBytesOfNamesThatAreNotUtf8) {
    TempTree tree;
    tree.File("\xff.bin", "same");
    tree.File("x.bin", "same");
    const FindResult run = RunFind(Quoted(tree.Root()));
    EXPECT_NE(run.out.find(tree.Path("\xff.bin") + "\n"), std::string::npos);
}

TEST(DoppletFind, OutputFormatsForScripts) {
    TempTree tree;
    // A name with a line break, one that is not UTF-8, one with a quote.
    const std::string names[] = {"line\nbreak", "bad\xff", "say \"hi\""};
    for (const std::string& name : names) {
        tree.File(name, "same");
    }
    const struct {
        const char* option;
        std::string (*Entry)(const std::string& path);
        std::string groupEnd;
    } formats[] = {
        {"-0", [](const std::string& path) { return path + std::string(1, '\0'); },
         std::string(1, '\0')},
        {"--null", [](const std::string& path) { return path + std::string(1, '\0'); },
         std::string(1, '\0')},
        {"--json",
         [](const std::string& path) {
             std::string escaped;
             for (const char ch : path) {
                 escaped += ch == '\n'                               ? std::string("\\u000a")
                            : ch == '"'                              ? std::string("\\\"")
                            : static_cast<unsigned char>(ch) == 0xff ? std::string("\\udcff")
                                                                     : std::string(1, ch);
             }
             return "\"path\":\"" + escaped + "\",\"size\":4,";
         },
         "]}\n"},
    };
    for (const auto& format : formats) {
        SCOPED_TRACE(format.option);
        const FindResult run = RunFind(std::string(format.option) + " " + Quoted(tree.Root()));
        EXPECT_EQ(run.status, 0);
        for (const std::string& name : names) {
            EXPECT_NE(run.out.find(format.Entry(tree.Path(name))), std::string::npos) << run.out;
        }
        EXPECT_TRUE(run.out.ends_with(format.groupEnd)) << run.out;
    }
    // A date past 2262 does not fit nanoseconds in 64 bits; it is still written as it is.
    const timespec times[2] = {{0, UTIME_OMIT}, {10413792000, 5}};  // 2300-01-01 00:00:00 UTC
    ASSERT_EQ(utimensat(AT_FDCWD, tree.Path(names[0]).c_str(), times, 0), 0);
    const FindResult json = RunFind("--json " + Quoted(tree.Root()));
    EXPECT_NE(json.out.find("\"mtime\":\"20"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"mtime\":\"2300-01-01T00:00:00.000000005Z\""), std::string::npos)
        << json.out;
    EXPECT_EQ(json.out.find('\n'), json.out.size() - 1) << "one line per group";

    const FindResult version = RunFind("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("dopplet-find ")) << version.out;
}

// Standard error of dopplet-find, run with it on a terminal (a pseudo-terminal from script(1))
// or on a pipe; standard output is thrown away.
std::string ErrorOutput(const std::string& arguments, bool onTerminal) {
    const std::string find = std::string(DOPPLET_FIND_PATH) + " " + arguments;
    const std::string command = onTerminal ? "script -qec \"" + find + " >/dev/null\" /dev/null"
                                           : find + " 2>&1 >/dev/null";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            out.append(buffer, got);
        }
        pclose(pipe);
    }
    return out;
}

TEST(DoppletFind, ShowsAProgressLineOnlyOnATerminal) {
    TempTree tree;
    for (int i = 0; i < 300; ++i) {
        tree.File("f" + std::to_string(i), std::string(static_cast<std::size_t>(i % 7), 'x'));
    }
    const std::string progress = " ファイル  ";
    const std::string onTerminal = ErrorOutput(Quoted(tree.Root()), true);
    if (onTerminal.empty()) {
        GTEST_SKIP() << "script(1) gave no terminal here";
    }
    EXPECT_NE(onTerminal.find(progress), std::string::npos) << onTerminal;
    EXPECT_NE(onTerminal.find("検索終了"), std::string::npos) << onTerminal;
    EXPECT_EQ(ErrorOutput("-q " + Quoted(tree.Root()), true).find(progress), std::string::npos);
    EXPECT_EQ(ErrorOutput(Quoted(tree.Root()), false), "検索終了\n");
}

TEST(DoppletFind, ModesAndExitStatus) {
    TempTree tree;
    tree.File("x/Name.txt", "1");
    tree.File("y/name.TXT", "22");
    tree.Folder("empty");
    struct Case {
        std::string arguments;
        int status;
        bool printsGroup;
    } cases[] = {
        {"--mode name " + Quoted(tree.Root()), 0, true},
        {"--mode=stem " + Quoted(tree.Root()), 0, true},
        {"--mode content " + Quoted(tree.Root()), 0, false},
        {"--pairwise " + Quoted(tree.Root()), 0, false},
        {Quoted(tree.Path("empty")), 1, false},  // a content search that found no file
        {"--mode other " + Quoted(tree.Root()), 2, false},
        {"--bogus " + Quoted(tree.Root()), 2, false},
        {"", 2, false},
        {Quoted(tree.Path("missing")), 2, false},
        {"--help", 0, true},
        {"-h", 0, true},
        {"-q0 --mode name " + Quoted(tree.Root()), 0, true},
        {"--json -0 --mode name " + Quoted(tree.Root()), 2, false},
        {"--null --json --mode name " + Quoted(tree.Root()), 2, false},
        {"-0 --null --mode name " + Quoted(tree.Root()), 0, true},
        {"-qx " + Quoted(tree.Root()), 2, false},
        {"--json=yes " + Quoted(tree.Root()), 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const FindResult run = RunFind(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(!run.out.empty(), c.printsGroup);
    }
}

TEST(DoppletFind, FiltersWhatItSearches) {
    TempTree tree;
    tree.File("a/big", std::string(2048, 'b'));
    tree.File("b/big", std::string(2048, 'b'));
    tree.File("a/small", "s");
    tree.File("b/small", "s");
    tree.File("a/.hidden", "h");
    tree.File("b/.hidden", "h");
    tree.File("a/e.tmp", "");
    tree.File("b/e.tmp", "");
    struct Case {
        std::string arguments;
        int status;
        int groups;
    } cases[] = {
        {"", 0, 4},
        {"--min-size 2K", 0, 1},
        {"--min-size=2049", 1, 0},  // a content search that found no file
        {"--max-size 1", 0, 3},
        {"--no-empty --no-hidden", 0, 2},
        {"--exclude '*.tmp' --exclude .hidden", 0, 2},
        {"--exclude '*/b/*'", 0, 0},
        {"--min-size 1X", 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const FindResult run = RunFind(c.arguments + " " + Quoted(tree.Root()));
        EXPECT_EQ(run.status, c.status);
        std::size_t groups = 0;
        for (std::size_t at = run.out.find("\n\n"); at != std::string::npos;
             at = run.out.find("\n\n", at + 2)) {
            ++groups;
        }
        EXPECT_EQ(groups, static_cast<std::size_t>(c.groups));
    }
    const std::string out = RunFind("-q --min-size 1K " + Quoted(tree.Root())).out;
    EXPECT_NE(out.find(tree.Path("a/big") + "\n"), std::string::npos);
    EXPECT_NE(out.find(tree.Path("b/big") + "\n"), std::string::npos);
}

TEST(DoppletFind, NamesAnArgumentProblemInOneLineAndPointsToTheHelp) {
    TempTree tree;
    const struct {
        std::string arguments;
        std::string problem;
    } cases[] = {
        {"--bogus " + Quoted(tree.Root()), "unknown option: --bogus"},
        {"-q0x " + Quoted(tree.Root()), "unknown option: -x"},
        {"--mode", "--mode needs a value"},
        {"--json -0 " + Quoted(tree.Root()), "--json and -0 cannot be used together"},
        {"", "no folder given"},
        {Quoted(tree.Path("missing")), "not a folder: " + tree.Path("missing")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(
            ErrorOutput(c.arguments, false),
            "dopplet-find: " + c.problem + "\nTry 'dopplet-find --help' for more information.\n");
    }
}

TEST(DoppletFind, SummaryCountsGroupsFilesSurplusBytesAndSkips) {
    TempTree tree;
    tree.File("a1", "aaaa");
    tree.File("a2", "aaaa");
    tree.File("a3", "aaaa");
    tree.File("b1", "bbbbbbb");
    tree.File("b2", "bbbbbbb");
    tree.File("alone", "c");
    const std::string summary =
        "dopplet-find: 2 groups, 5 files, 15 bytes in surplus copies, 0 skipped\n";
    EXPECT_EQ(ErrorOutput("-q --summary " + Quoted(tree.Root()), false), "検索終了\n" + summary);
    EXPECT_EQ(ErrorOutput("-q " + Quoted(tree.Root()), false), "検索終了\n");

    tree.File("closed/x", "x");
    chmod(tree.Path("closed").c_str(), 0);
    const std::string errors = testing_support::RunWithoutPrivileges(
        [&] { return ErrorOutput("--summary -q " + Quoted(tree.Root()), false); });
    chmod(tree.Path("closed").c_str(), 0755);
    EXPECT_TRUE(errors.ends_with(
        "dopplet-find: 2 groups, 5 files, 15 bytes in surplus copies, 1 skipped\n"))
        << errors;
}

TEST(DoppletFind, TakesTwoSpellingsOfOneFolderAsOneTarget) {
    TempTree tree;
    tree.File("in/a", "z");
    tree.File("in/b", "z");
    const FindResult run =
        RunFind("--mode content " + Quoted(tree.Path("in/.")) + " " + Quoted(tree.Path("in/")));
    EXPECT_EQ(run.status, 0);
    const std::size_t first = run.out.find(tree.Path("in/a") + "\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(run.out.find(tree.Path("in/a") + "\n", first + 1), std::string::npos);
    EXPECT_EQ(run.out.find("//"), std::string::npos);
    EXPECT_EQ(run.out.find("/./"), std::string::npos);
}

// The exit status of `command`, run by the shell.
int ShellStatus(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DoppletFind, FailsWhenItsOutputCannotBeWritten) {
    TempTree tree;
    tree.File("a", "one");
    tree.File("b", "one");
    const std::string find = std::string(DOPPLET_FIND_PATH) + " " + Quoted(tree.Root());
    struct Case {
        const char* what;
        std::string redirection;
    } cases[] = {
        {"a full disk", " >/dev/full 2>/dev/null"},
        {"a closed standard output", " >&- 2>/dev/null"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ShellStatus(find + c.redirection), 2);
    }
    EXPECT_EQ(ShellStatus(find + " 2>&1 >/dev/full | grep -q 'cannot write the output'"), 0)
        << "no message says why";
}

TEST(DoppletFind, NamesWhatItCouldNotLookAtAndSaysSoInItsStatus) {
    TempTree tree;
    tree.File("open/a", "one");
    tree.File("open/b", "one");
    tree.File("closed/c", "one");
    chmod(tree.Path("closed").c_str(), 0);
    const std::string failure = testing_support::RunWithoutPrivileges([&]() -> std::string {
        const std::string find = std::string(DOPPLET_FIND_PATH) + " -q " + Quoted(tree.Root());
        if (ShellStatus(find + " >/dev/null 2>&1") != 3) {
            return "the status does not say that the search was incomplete";
        }
        const std::string errors = ErrorOutput("-q " + Quoted(tree.Root()), false);
        const std::string line = "dopplet-find: cannot list folder " + tree.Path("closed") + ": ";
        if (errors.find(line) == std::string::npos) {
            return "no line names the folder: " + errors;
        }
        return {};
    });
    chmod(tree.Path("closed").c_str(), 0755);
    EXPECT_EQ(failure, "");
}

TEST(DoppletFind, CtrlCStopsTheSearch) {
    TempTree tree;
    // 400 files that share all but their last 4 KiB keep the pairwise comparison busy for seconds.
    const std::string head = testing_support::Contents(60 * 1024, 1);
    for (int i = 0; i < 400; ++i) {
        tree.File("f" + std::to_string(i), head + testing_support::Contents(4096, 100 + i));
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execl(DOPPLET_FIND_PATH, DOPPLET_FIND_PATH, "--pairwise", tree.Root().c_str(), nullptr);
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);  // "検索を中断しました"
}

}  // namespace
