// Content matching when the process runs short of file handles: a file that cannot be opened for
// want of a handle is opened again later, never taken for one that matches nothing. Each test
// runs in a child process whose limit of open files it lowers.

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/open_files.h"
#include "search/content_classes.h"
#include "search/search.h"
#include "support/recording_host.h"
#include "support/temp_tree.h"

namespace {

using search::ContentClassifier;
using search::RunFile;
using search::RunGroups;
using testing_support::Contents;
using testing_support::RecordingHost;
using testing_support::RunSearch;
using testing_support::TempTree;

// Runs `body` in a child process; its exit status, or -1 when it did not exit.
int InChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        int status = 100;
        try {
            status = body();
        } catch (...) {
        }
        _exit(status);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Lets the process open `more` files beside those open now, and no more: the soft and the hard
// limit both, so that raising the soft one gains nothing.
bool AllowMoreOpenFiles(rlim_t more) {
    rlim_t open = 0;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (readdir(folder) != nullptr) {
            ++open;
        }
        closedir(folder);
    }
    const struct rlimit limit = {open + more, open + more};
    return open > 0 && setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

// The sanitizers check some calls with a pipe of their own: with every handle taken, they report
// faults that are not there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Takes every free file handle until it releases them.
class HandleHog {
  public:
    ~HandleHog() { Release(); }
    void TakeAll() {
        for (int handle; (handle = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) {
            m_handles.push_back(handle);
        }
    }
    void Release() {
        for (int handle : m_handles) {
            close(handle);
        }
        m_handles.clear();
    }

  private:
    std::vector<int> m_handles;
};

std::vector<RunFile> FilesOf(const std::vector<std::string>& paths) {
    std::vector<RunFile> files;
    for (const std::string& path : paths) {
        struct stat st {};
        EXPECT_EQ(stat(path.c_str(), &st), 0);
        files.push_back(
            {static_cast<int>(files.size()), {static_cast<std::uint64_t>(st.st_dev), st.st_ino}});
    }
    return files;
}

// a and b, c and d are copies; the slots go a, c, b, d.
struct TwoPairs {
    TempTree tree;
    std::vector<std::string> paths = {
        tree.File("a", Contents(5000, 1)), tree.File("c", Contents(5000, 2)),
        tree.File("b", Contents(5000, 1)), tree.File("d", Contents(5000, 2))};
    std::vector<RunFile> files = FilesOf(paths);

    ContentClassifier Classifier() const {
        return ContentClassifier([this](int slot) { return paths[static_cast<std::size_t>(slot)]; },
                                 [] { return false; }, 1 << 20);
    }
};

// 0 when the classifier found both pairs and left nothing out.
int FoundBothPairs(const search::RunOutcome& outcome) {
    return outcome.Groups == RunGroups{{0, 2}, {1, 3}} && outcome.Skipped.empty() ? 0 : 1;
}

TEST(OutOfFileHandles, TheClassifierClosesTheFilesItKeepsOpenToOpenTheNext) {
    if (kSanitized) {
        GTEST_SKIP() << "the sanitizers need file handles of their own";
    }
    TwoPairs pairs;
    EXPECT_EQ(InChild([&] {
                  if (!AllowMoreOpenFiles(30)) {
                      return 2;
                  }
                  HandleHog hog;
                  ContentClassifier classifier = pairs.Classifier();
                  int reads = 0;
                  // After a's first range no handle is free but a's own; after c's they are.
                  classifier.AfterEachRead([&](int, std::int64_t) {
                      ++reads;
                      if (reads == 1) {
                          hog.TakeAll();
                      } else if (reads == 2) {
                          hog.Release();
                      }
                  });
                  return FoundBothPairs(classifier.Classify(5000, pairs.files));
              }),
              0);
}

TEST(OutOfFileHandles, TheClassifierWaitsForAHandleWhenItKeepsNoneOpen) {
    if (kSanitized) {
        GTEST_SKIP() << "the sanitizers need file handles of their own";
    }
    TwoPairs pairs;
    EXPECT_EQ(InChild([&] {
                  if (!AllowMoreOpenFiles(30)) {
                      return 2;
                  }
                  // No handle is free until another thread closes some.
                  HandleHog hog;
                  hog.TakeAll();
                  std::thread releaser([&] {
                      std::this_thread::sleep_for(std::chrono::milliseconds(50));
                      hog.Release();
                  });
                  ContentClassifier classifier = pairs.Classifier();
                  classifier.KeepFilesOpen(0);
                  const int status = FoundBothPairs(classifier.Classify(5000, pairs.files));
                  releaser.join();
                  return status;
              }),
              0);
}

TEST(OpenFileLimit, IsRaisedToWhatTheSystemAllows) {
    EXPECT_EQ(InChild([] {
                  const struct rlimit low = {20, 100};
                  if (setrlimit(RLIMIT_NOFILE, &low) != 0) {
                      return 2;
                  }
                  struct rlimit now {};
                  return platform::RaiseOpenFileLimit() == 100 &&
                                 getrlimit(RLIMIT_NOFILE, &now) == 0 && now.rlim_cur == 100 &&
                                 platform::OpenFileLimit() == 100
                             ? 0
                             : 1;
              }),
              0);
}

// Classes of many files of one size, more than the process may have open at once.
TEST(OutOfFileHandles, ASearchUnderALowLimitFindsEveryGroup) {
    TempTree tree;
    for (int i = 0; i < 200; ++i) {
        const auto size = static_cast<std::size_t>(i % 2 == 0 ? 5000 : 6000);
        tree.File("f" + std::to_string(i), Contents(size, static_cast<unsigned>(i / 4)));
    }
    EXPECT_EQ(InChild([&] {
                  if (!AllowMoreOpenFiles(40)) {
                      return 2;
                  }
                  struct Host : RecordingHost {
                      using RecordingHost::RecordingHost;
                      void PathSkipped(const search::SkippedPath&) override { ++skipped; }
                      int skipped = 0;
                  } host({tree.Root()});
                  RunSearch(host);
                  return host.Groups.size() == 100 && host.skipped == 0 &&
                                 host.Messages == std::vector<std::string>{search::kMessageFinished}
                             ? 0
                             : 1;
              }),
              0);
}

}  // namespace
