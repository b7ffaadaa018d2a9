// dopplet-find as a script sees it: its output, its exit status and its usage text.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const FindResult run = RunFind(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(!run.out.empty(), c.printsGroup);
    }
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

}  // namespace
