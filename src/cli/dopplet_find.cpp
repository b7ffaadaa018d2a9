// dopplet-find: runs the window program's search headless and prints the groups it finds.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/group_output.h"
#include "cli/progress_line.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/open_files.h"
#include "platform/path.h"
#include "platform/process_memory.h"
#include "platform/system_paths.h"
#include "platform/terminal.h"
#include "search/search.h"

namespace {

constexpr char kUsage[] =
    "Usage: dopplet-find [--mode content|stem|name] [-0 | --json] [-q] [--summary] [FILTER...]\n"
    "                    FOLDER...\n"
    "\n"
    "Finds files that are the same in the folders and all their subfolders and prints each\n"
    "group as it is found: the full paths of its files, one per line, and a blank line.\n"
    "\n"
    "  --mode content  files with the same contents (the default)\n"
    "  --mode stem     files with the same name without its extension\n"
    "  --mode name     files with the same name, extension included\n"
    "  -0, --null      end each path with a NUL byte and each group with one more, so that\n"
    "                  names with line breaks can be told apart\n"
    "  --json          one JSON object per group and line, not with -0: {\"files\":[{\"path\":\n"
    "                  ...,\"size\":BYTES,\"mtime\":\"YYYY-MM-DDThh:mm:ss.nnnnnnnnnZ\"},...]};\n"
    "                  a byte of a path that is not UTF-8, 0xXY, is written as \\udcXY (read\n"
    "                  it back with Python's errors=\"surrogateescape\")\n"
    "  -q, --quiet     no progress line (it is only ever shown when standard error is a\n"
    "                  terminal)\n"
    "  --summary       end with a line on standard error: the groups, their files, the bytes\n"
    "                  that all files but the first of each group take, and the number of\n"
    "                  files and folders that could not be looked at\n"
    "  --pairwise      compare the contents of every pair of files in turn (slow; the\n"
    "                  reference that benchmarks measure the default comparison against)\n"
    "  --version       show the version\n"
    "  -h, --help      show this text\n"
    "\n"
    "Short options can be combined: -q0 is -q -0.\n"
    "\n"
    "Filters (a file or folder left out is never read, nor named as skipped):\n"
    "  --min-size N    leave out files smaller than N bytes\n"
    "  --max-size N    leave out files larger than N bytes; N may end in K, M or G for\n"
    "                  units of 1024, 1024^2 or 1024^3 bytes (--min-size 1M: 1048576 bytes\n"
    "                  and more)\n"
    "  --exclude PATTERN\n"
    "                  leave out the files and folders whose name matches PATTERN (*.tmp,\n"
    "                  node_modules, .git); a PATTERN with a / is matched against the whole\n"
    "                  path (*/build/*). * matches any characters, / included, ? one\n"
    "                  character, [...] one of a set; case counts; may be given again\n"
    "  --no-empty      leave out empty files\n"
    "  --no-hidden     leave out files and folders whose name starts with a dot\n"
    "The FOLDERs given are always searched, whatever their names.\n"
    "\n"
    "Names compare ASCII letters without regard to case. Symbolic links are neither followed\n"
    "nor reported; FIFOs, sockets and devices are never opened; the trash is not searched.\n"
    "A folder reached under several names (inside another one given, through a symbolic link\n"
    "given as a folder, a bind mount) is searched once. Two hard links to one file never form\n"
    "a group with each other; in the content mode such a file is listed once, under the first\n"
    "name found. Each file or folder that could not be looked at is named on standard error,\n"
    "one line each, with the reason. The closing message goes to standard error.\n"
    "Ctrl+C stops the search; the groups found so far stay printed.\n"
    "Exit status: 0 finished, 1 stopped (or a content search that found no file at all),\n"
    "2 error (also when the output cannot be written) or bad arguments, 3 finished but some\n"
    "files or folders could not be looked at.\n";

// The window's stand-in: hand-overs run on the worker thread itself, one at a time.
class PrintingHost final : public search::SearchHost {
  public:
    // `progress`, when given, is shown on one line of standard error.
    PrintingHost(std::vector<std::string> folders, search::ResultTable& results,
                 cli::OutputFormat format, const search::ProgressCounters* progress)
        : m_folders(std::move(folders)),
          m_results(results),
          m_format(format),
          m_progress(progress) {}

    // Brings the progress line up to date, at most ten times a second.
    void ShowProgress() {
        std::lock_guard lock(m_mutex);
        DrawProgress();
    }

    void RunOnWindowThread(const std::function<void()>& procedure) override {
        std::lock_guard lock(m_mutex);
        procedure();
    }

    void ShowMessage(const std::string& text) override {
        {
            std::lock_guard lock(m_mutex);
            ClearProgress();
            m_progress = nullptr;
            FlushOutput();
        }
        std::fprintf(stderr, "%s\n", text.c_str());
        m_lastMessage = text;
    }

    std::vector<std::string> SearchStarted() override { return m_folders; }
    void StatusUpdate(const search::StatusReport& report) override {
        // Hand-overs run with the mutex held.
        m_phase = report.PhaseText;
        DrawProgress();
    }
    void SearchFinished() override {}

    void PostGroupRow(int groupIndex) override {
        search::ResultGroup& group = m_results.Group(groupIndex);
        if (group.MemberCount >= 2 && !m_outputFailed) {
            m_tally.Count(group);
            ClearProgress();
            cli::WriteGroup(stdout, group, m_format);
            NoteOutputError(std::ferror(stdout) != 0);
        }
        // Unlike the window, the finder never comes back to a group it has printed.
        std::vector<search::ResultMember>().swap(group.Members);
    }

    void PathSkipped(const search::SkippedPath& skipped) override {
        // Hand-overs run with the mutex held.
        ClearProgress();
        std::fprintf(stderr, "dopplet-find: %s\n", cli::SkippedLine(skipped).c_str());
        ++m_skipped;
    }

    // True once a group could not be written; the search should stop then.
    bool OutputFailed() {
        std::lock_guard lock(m_mutex);
        return m_outputFailed;
    }

    // Writes what standard output still holds; false, with a message, when some output was lost.
    bool FinishOutput() {
        FlushOutput();
        NoteOutputError(std::fclose(stdout) != 0);
        if (m_outputFailed) {
            std::fprintf(stderr, "dopplet-find: cannot write the output: %s\n",
                         std::strerror(m_outputError));
        }
        return !m_outputFailed;
    }

    // The --summary line.
    std::string Summary() const { return cli::SummaryLine(m_tally, m_skipped); }

    int ExitStatus() const {
        if (m_outputFailed) {
            return 2;
        }
        if (m_lastMessage == search::kMessageFinished) {
            return m_skipped > 0 ? 3 : 0;
        }
        return m_lastMessage == search::kMessageStopped ? 1 : 2;
    }

  private:
    // Writes the phase and the counters over the progress line when a tenth of a second has
    // passed since the last time. Called with the mutex held.
    void DrawProgress() {
        const auto now = std::chrono::steady_clock::now();
        if (m_progress == nullptr || m_phase.empty() ||
            now - m_lastDrawn < std::chrono::milliseconds(100)) {
            return;
        }
        m_lastDrawn = now;
        std::fprintf(stderr, "\r%s\033[K", cli::ProgressLine(m_phase, *m_progress).c_str());
        std::fflush(stderr);
        m_progressShown = true;
    }

    // Remembers the first failure of standard output, with errno.
    void NoteOutputError(bool failed) {
        if (failed && !m_outputFailed) {
            m_outputFailed = true;
            m_outputError = errno;
        }
    }

    // Hands standard output's buffer to the system; a full disk shows here at the latest.
    void FlushOutput() {
        if (!m_outputFailed) {
            NoteOutputError(std::fflush(stdout) != 0 || std::ferror(stdout) != 0);
        }
    }

    // Takes the progress line off the terminal, so that a group or a message starts on a clean
    // line. Called with the mutex held.
    void ClearProgress() {
        if (m_progressShown) {
            std::fputs("\r\033[K", stderr);
            std::fflush(stderr);
            m_progressShown = false;
        }
    }

    std::mutex m_mutex;
    std::vector<std::string> m_folders;
    search::ResultTable& m_results;
    cli::OutputFormat m_format;
    const search::ProgressCounters* m_progress;
    std::chrono::steady_clock::time_point m_lastDrawn{};
    bool m_progressShown = false;
    std::string m_phase;
    std::string m_lastMessage;
    long long m_skipped = 0;  // files and folders named as skipped
    cli::GroupTally m_tally;
    bool m_outputFailed = false;
    int m_outputError = 0;
};

// An absolute path without empty or "." components and without a final separator.
std::string AbsoluteFolder(const std::string& folder) {
    return platform::FolderLevels(platform::IsAbsolute(folder)
                                      ? folder
                                      : platform::JoinPath(platform::CurrentFolder(), folder))
        .back();
}

// The order of the window's target list: the locale's collation, so that a folder comes before
// the folders inside it.
void SortLikeTargetList(std::vector<std::string>& folders) {
    if (folders.size() < 2) {
        return;  // Loading the locale's collation costs memory that one folder does not need.
    }
    std::setlocale(LC_COLLATE, "");
    std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
        const int order = std::strcoll(a.c_str(), b.c_str());
        return order != 0 ? order < 0 : a < b;
    });
}

int UsageError(const std::string& problem) {
    std::fprintf(stderr, "dopplet-find: %s\nTry 'dopplet-find --help' for more information.\n",
                 problem.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    platform::UseOneMemoryArena();
    platform::RaiseOpenFileLimit();
    platform::PrepareStandardStreams();
    const cli::FindArguments arguments =
        cli::ParseFindArguments(platform::CommandLineArguments(argc, argv));
    if (arguments.Request == cli::FindRequest::Help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (arguments.Request == cli::FindRequest::Version) {
        std::puts("dopplet-find " DOPPLET_VERSION);
        return 0;
    }
    if (arguments.Request == cli::FindRequest::Usage) {
        return UsageError(arguments.Problem);
    }
    const int mode = arguments.Mode;
    const search::ContentComparison comparison = arguments.Comparison;
    const cli::OutputFormat format = arguments.Format;
    const bool quiet = arguments.Quiet;
    std::vector<std::string> folders;
    for (const std::string& folder : arguments.Folders) {
        folders.push_back(AbsoluteFolder(folder));
    }
    if (!platform::StandardOutputIsOpen()) {
        // A file opened later would take the closed descriptor's number.
        std::fputs("dopplet-find: standard output is closed\n", stderr);
        return 2;
    }
    for (const std::string& folder : folders) {
        if (!platform::IsFolder(folder)) {
            return UsageError("not a folder: " + folder);
        }
    }
    SortLikeTargetList(folders);

    platform::CatchInterrupt();
    search::ResultTable results;
    search::ProgressCounters progress;
    PrintingHost host(folders, results, format,
                      !quiet && platform::StandardErrorIsTerminal() ? &progress : nullptr);
    auto* job = new search::SFileSearch(host, results, progress);
    job->SetMode(mode);
    job->SetContentComparison(comparison);
    job->SetFilter(arguments.Filter);
    job->SetResultDates(false);  // the window's date texts are never printed
    const std::shared_ptr<search::SearchSignal> signal = job->Signal();
    if (!job->Resume()) {
        std::fprintf(stderr, "%s\n%s\n", search::kMessageOutOfMemory, search::kMessageError);
        return 2;
    }
    while (!signal->WaitForEnd(std::chrono::milliseconds(100))) {
        if (platform::WasInterrupted() || host.OutputFailed()) {
            signal->RequestStop();
        }
        host.ShowProgress();
    }
    host.FinishOutput();
    if (arguments.Summary) {
        std::fprintf(stderr, "dopplet-find: %s\n", host.Summary().c_str());
    }
    return host.ExitStatus();
}
