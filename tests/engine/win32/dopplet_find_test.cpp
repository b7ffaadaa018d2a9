// dopplet-find.exe as a script on Windows starts it: wide arguments in, UTF-8 bytes out.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/test_files.h"
#include "platform/path.h"

namespace {

using platform::JoinPath;
using testing_support::NativePath;
using testing_support::TempFolder;
using testing_support::WriteFile;

struct FinderRun {
    DWORD Status = 0;
    std::string Output;
};

std::wstring Quoted(const std::wstring& argument) {
    // Good enough for the arguments here: no quotes or trailing backslashes in them.
    return L"\"" + argument + L"\"";
}

// Runs dopplet-find with `arguments`, each handed over as UTF-16 as the system does.
FinderRun RunFinder(const std::vector<std::string>& arguments) {
    std::wstring commandLine = Quoted(NativePath(DOPPLET_FIND_PATH).wstring());
    for (const std::string& argument : arguments) {
        commandLine += L" " + Quoted(NativePath(argument).wstring());
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    EXPECT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const HANDLE nul =
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = writeEnd;
    startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    FinderRun run;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << DOPPLET_FIND_PATH;
        return run;
    }
    CloseHandle(writeEnd);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        run.Output.append(buffer, got);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.Status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(readEnd);
    CloseHandle(nul);
    return run;
}

std::vector<std::string> SortedLines(const std::string& output) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = 0; (end = output.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(output.substr(start, end - start));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

class WindowsFinder : public testing::Test {
  protected:
    void SetUp() override {
        WriteFile(JoinPath(JoinPath(m_tree.Root(), "写真"), "海.jpg"), "sea");
        WriteFile(JoinPath(JoinPath(m_tree.Root(), "バックアップ"), "海のコピー.jpg"), "sea");
        WriteFile(JoinPath(m_tree.Root(), "café.txt"), "one");
        WriteFile(JoinPath(m_tree.Root(), "cafe.txt"), "two");
    }

    std::string Path(const std::string& folder, const std::string& name) const {
        return JoinPath(JoinPath(m_tree.Root(), folder), name);
    }

    TempFolder m_tree;
};

TEST_F(WindowsFinder, TakesJapaneseFolderNamesAndWritesUtf8WithoutCarriageReturns) {
    const FinderRun run =
        RunFinder({"-q", JoinPath(m_tree.Root(), "バックアップ"), JoinPath(m_tree.Root(), "写真")});
    EXPECT_EQ(run.Status, 0u);
    EXPECT_EQ(run.Output,
              Path("バックアップ", "海のコピー.jpg") + "\n" + Path("写真", "海.jpg") + "\n\n");
}

TEST_F(WindowsFinder, SearchesTheAccentedFolderThatWasGiven) {
    // The ANSI command line of code page 932 turns "café" into "cafe", another folder.
    WriteFile(Path("café", "x.jpg"), "sea");
    WriteFile(Path("cafe", "y.jpg"), "sea");
    const FinderRun run =
        RunFinder({"-q", JoinPath(m_tree.Root(), "café"), JoinPath(m_tree.Root(), "写真")});
    EXPECT_EQ(run.Status, 0u);
    EXPECT_EQ(SortedLines(run.Output),
              (std::vector<std::string>{"", Path("café", "x.jpg"), Path("写真", "海.jpg")}));
}

TEST_F(WindowsFinder, WritesTheNullSeparatedAndJsonFormsAsBytes) {
    const FinderRun nul = RunFinder(
        {"-q0", JoinPath(m_tree.Root(), "写真"), JoinPath(m_tree.Root(), "バックアップ")});
    EXPECT_EQ(nul.Status, 0u);
    EXPECT_EQ(nul.Output, Path("バックアップ", "海のコピー.jpg") + std::string(1, '\0') +
                              Path("写真", "海.jpg") + std::string(2, '\0'));
    const FinderRun json = RunFinder({"-q", "--json", m_tree.Root()});
    EXPECT_EQ(json.Status, 0u);
    EXPECT_EQ(json.Output.find("\r"), std::string::npos);
    EXPECT_NE(json.Output.find("写真\\\\海.jpg"), std::string::npos) << json.Output;
}

TEST_F(WindowsFinder, RefusesABadArgumentWithStatusTwo) {
    EXPECT_EQ(RunFinder({"--mode", "colour", m_tree.Root()}).Status, 2u);
    EXPECT_EQ(RunFinder({JoinPath(m_tree.Root(), "無い")}).Status, 2u);
}

}  // namespace
