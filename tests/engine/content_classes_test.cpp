// The content classifier on its own, and the content pass against the pairwise comparison that
// it replaces: both must find the same groups in the same order.

#include "search/content_classes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/stat.h>

#include <fcntl.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "search/search.h"
#include "support/recording_host.h"
#include "support/temp_tree.h"

namespace {

using search::ContentClassifier;
using search::RunFile;
using search::RunGroups;
using search::SkippedPath;
using search::SkipReason;
using testing_support::Contents;
using testing_support::RecordingHost;
using testing_support::RunSearch;
using testing_support::TempTree;

RunFile FileOf(const std::string& path, int slot) {
    RunFile file;
    file.Slot = slot;
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) {
        file.Identity = {static_cast<std::uint64_t>(st.st_dev),
                         static_cast<std::uint64_t>(st.st_ino)};
    }
    return file;
}

std::vector<RunFile> FilesOf(const std::vector<std::string>& paths) {
    std::vector<RunFile> files;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        files.push_back(FileOf(paths[i], static_cast<int>(i)));
    }
    return files;
}

// A classifier of the files at `paths`, their slots their indices.
ContentClassifier ClassifierOf(const std::vector<std::string>& paths, std::size_t budget) {
    return ContentClassifier([&paths](int slot) { return paths[static_cast<std::size_t>(slot)]; },
                             [] { return false; }, budget);
}

RunGroups Classify(const std::vector<std::string>& paths, std::int64_t size, std::size_t budget,
                   ContentClassifier::RangeHash hash = nullptr) {
    ContentClassifier classifier = ClassifierOf(paths, budget);
    if (hash != nullptr) {
        classifier.UseRangeHash(hash);
    }
    return classifier.Classify(size, FilesOf(paths)).Groups;
}

// The skipped files as "path reason error" lines.
std::vector<std::string> Describe(const std::vector<SkippedPath>& skipped) {
    std::vector<std::string> lines;
    for (const SkippedPath& path : skipped) {
        lines.push_back(path.Path + " " + std::to_string(static_cast<int>(path.Reason)) + " " +
                        path.Error.message());
    }
    return lines;
}

std::string Line(const std::string& path, SkipReason reason, std::error_code error = {}) {
    return Describe({{path, reason, error}})[0];
}

// Contents of `size` bytes from `seed`, with byte `at` changed to `mark`.
std::string Marked(std::size_t size, unsigned seed, std::size_t at, char mark) {
    std::string bytes = Contents(size, seed);
    bytes[at] = mark;
    return bytes;
}

TEST(ContentClassifier, SplitsByContentsWhereverTheyDiffer) {
    constexpr std::size_t kSize = 3 * 1024 * 1024 + 17;
    struct Case {
        const char* what;
        std::size_t size;
        std::size_t differAt;
    } cases[] = {
        {"in the first byte", kSize, 0},
        {"in the middle", kSize, kSize / 2},
        {"in the last byte", kSize, kSize - 1},
        {"right after the head", kSize, 4096},
        {"right before the tail", kSize, kSize - 4097},
        {"a file of one head and a bit", 4100, 4099},
        {"a file of exactly two pages", 8192, 4096},
        {"a small file", 10, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempTree tree;
        // a == b, c == d, a and c differ at one byte only.
        const std::vector<std::string> paths = {
            tree.File("a", Marked(c.size, 1, c.differAt, 'A')),
            tree.File("c", Marked(c.size, 1, c.differAt, 'C')),
            tree.File("b", Marked(c.size, 1, c.differAt, 'A')),
            tree.File("d", Marked(c.size, 1, c.differAt, 'C')),
            tree.File("e", Marked(c.size, 1, c.differAt, 'E')),
        };
        for (std::size_t budget : {std::size_t{0}, std::size_t{32} << 20}) {
            SCOPED_TRACE(budget);
            EXPECT_EQ(Classify(paths, static_cast<std::int64_t>(c.size), budget),
                      (RunGroups{{0, 2}, {1, 3}}));
        }
    }
}

TEST(ContentClassifier, LargeClassesGiveTheSameGroupsWithAndWithoutMemory) {
    TempTree tree;
    std::vector<std::string> paths;
    RunGroups expected(3);
    // 600 files sharing their head: three sets of copies among unique ones, told apart at the
    // tail. More files than the classifier keeps open, and than it compares without hashing.
    for (int i = 0; i < 600; ++i) {
        const int set = i % 7 == 0 ? (i / 7) % 3 : -1;
        const unsigned seed =
            set >= 0 ? 1000u + static_cast<unsigned>(set) : static_cast<unsigned>(i);
        paths.push_back(
            tree.File("f" + std::to_string(i), std::string(4096, 'h') + Contents(4096, seed)));
        if (set >= 0) {
            expected[static_cast<std::size_t>(set)].push_back(i);
        }
    }
    for (std::size_t budget : {std::size_t{0}, std::size_t{8192}, std::size_t{32} << 20}) {
        SCOPED_TRACE(budget);
        EXPECT_EQ(Classify(paths, 8192, budget), expected);
    }
}

TEST(ContentClassifier, FilesWhoseRangesShareAHashAreStillToldApartByTheirBytes) {
    TempTree tree;
    std::vector<std::string> paths;
    RunGroups expected(2);
    // More files than are compared without hashing, in two sets that differ in every range.
    for (int i = 0; i < 20; ++i) {
        const unsigned set = static_cast<unsigned>(i % 2);
        paths.push_back(tree.File("f" + std::to_string(i), Contents(3 * 4096 + 100, 7 + set)));
        expected[set].push_back(i);
    }
    const auto sameForAll = [](const unsigned char*, std::size_t) -> std::uint64_t { return 42; };
    for (std::size_t budget : {std::size_t{0}, std::size_t{32} << 20}) {
        SCOPED_TRACE(budget);
        EXPECT_EQ(Classify(paths, 3 * 4096 + 100, budget, sameForAll), expected);
    }
}

TEST(ContentClassifier, FilesThatCannotBeReadToTheirSizeMatchNothingAndAreNamed) {
    TempTree tree;
    const std::string same = Contents(5000, 3);
    const std::vector<std::string> paths = {
        tree.File("a", same),
        tree.File("b", same),
        tree.File("grown", same + "more"),  // the walk saw 5000 bytes
        tree.File("shrunk", same.substr(0, 4999)),
        tree.Path("vanished"),
        tree.Folder("folder"),
        tree.File("c", same),
    };
    const search::RunOutcome outcome = ClassifierOf(paths, 1 << 20).Classify(5000, FilesOf(paths));
    EXPECT_EQ(outcome.Groups, (RunGroups{{0, 1, 6}}));
    EXPECT_EQ(Describe(outcome.Skipped),
              (std::vector<std::string>{
                  Line(paths[2], SkipReason::FileChanged),
                  Line(paths[3], SkipReason::FileChanged),
                  Line(paths[4], SkipReason::FileUnreadable,
                       std::make_error_code(std::errc::no_such_file_or_directory)),
                  Line(paths[5], SkipReason::FileChanged),
              }));
}

// A file truncated after it was opened reads short: the bytes that its buffer still holds from
// another file must not count as its own.
TEST(ContentClassifier, AFileThatReadsShortMatchesNothing) {
    TempTree tree;
    // Nine files (compared by hash) of one head. Their tails: r1 and z share one, r2, x and y
    // another, the rest their own. With no memory to hold ranges and a hash that is the same for
    // every range, each match is confirmed by reading the representative's tail again; once r1
    // is truncated, that read of it comes back short, right after its buffer held r2's tail.
    const std::string head(4096, 'h');
    const std::string tail1 = Contents(4096, 1);
    const std::string tail2 = Contents(4096, 2);
    std::vector<std::string> paths = {
        tree.File("r1", head + tail1), tree.File("z", head + tail1), tree.File("r2", head + tail2),
        tree.File("x", head + tail2),  tree.File("y", head + tail2),
    };
    for (int i = 0; i < 4; ++i) {
        paths.push_back(tree.File("u" + std::to_string(i), head + Contents(4096, 10 + i)));
    }
    ContentClassifier classifier = ClassifierOf(paths, 0);
    classifier.UseRangeHash([](const unsigned char*, std::size_t) -> std::uint64_t { return 42; });
    classifier.AfterEachRead([&](int slot, std::int64_t offset) {
        if (slot == 3 && offset == 4096) {
            ASSERT_EQ(truncate(paths[0].c_str(), 4096), 0);
        }
    });
    const search::RunOutcome outcome = classifier.Classify(8192, FilesOf(paths));
    EXPECT_EQ(outcome.Groups, (RunGroups{{2, 3, 4}}));
    EXPECT_EQ(Describe(outcome.Skipped),
              std::vector<std::string>{Line(paths[0], SkipReason::FileChanged)});
}

// The bytes of each file are read once, range by range: a file that changes meanwhile may have
// been read partly before and partly after the change.
TEST(ContentClassifier, AFileThatChangesDuringItsComparisonIsLeftOut) {
    constexpr std::int64_t kSize = 3 * 1024 * 1024;
    const timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    struct Case {
        const char* what;
        std::function<void(const std::string& path)> change;
    } cases[] = {
        {"appended to",
         [](const std::string& path) {
             std::ofstream(path, std::ios::app) << std::string(1 << 20, 'x');
         }},
        {"a byte already read changed in place",
         [](const std::string& path) {
             std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
             file.seekp(10);
             file.put('!');
         }},
        {"the same bytes written again",
         [](const std::string& path) {
             const std::string bytes = Contents(kSize, 5);
             std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
             file.write(bytes.data(), 100);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempTree tree;
        std::vector<std::string> paths;
        for (const char* name : {"a", "b", "c"}) {
            paths.push_back(tree.File(name, Contents(kSize, 5)));
            // Times of long ago, so that a change now is seen in the modification time even
            // within the clock's step.
            ASSERT_EQ(utimensat(AT_FDCWD, paths.back().c_str(), past, 0), 0);
        }
        ContentClassifier classifier = ClassifierOf(paths, 1 << 20);
        bool changed = false;
        classifier.AfterEachRead([&](int slot, std::int64_t offset) {
            // Once b's tail is read, before the middle.
            if (slot == 1 && offset == kSize - 4096 && !changed) {
                changed = true;
                c.change(paths[1]);
            }
        });
        const search::RunOutcome outcome = classifier.Classify(kSize, FilesOf(paths));
        ASSERT_TRUE(changed);
        EXPECT_EQ(outcome.Groups, (RunGroups{{0, 2}}));
        EXPECT_EQ(Describe(outcome.Skipped),
                  std::vector<std::string>{Line(paths[1], SkipReason::FileChanged)});
    }
}

// The middle of large identical files is read in long chunks however many copies there are.
TEST(ContentClassifier, ReadsManyCopiesInAsFewCallsAsAFew) {
    constexpr std::int64_t kSize = 4 * 1024 * 1024;
    TempTree tree;
    const std::string bytes = Contents(kSize, 9);
    std::vector<std::string> paths;
    for (int i = 0; i < 20; ++i) {
        paths.push_back(tree.File("copy" + std::to_string(i), bytes));
    }
    const auto readsPerFile = [&](std::size_t copies) {
        const std::vector<std::string> some(paths.begin(),
                                            paths.begin() + static_cast<long>(copies));
        ContentClassifier classifier = ClassifierOf(some, 1 << 20);
        std::size_t reads = 0;
        classifier.AfterEachRead([&](int, std::int64_t) { ++reads; });
        EXPECT_EQ(classifier.Classify(kSize, FilesOf(some)).Groups.size(), 1u);
        return reads / copies;
    };
    const std::size_t few = readsPerFile(2);
    EXPECT_LT(few, 40u);
    EXPECT_EQ(readsPerFile(9), few);
    EXPECT_EQ(readsPerFile(20), few);
}

TEST(ContentClassifier, EmptyFilesAreEqual) {
    TempTree tree;
    const std::vector<std::string> paths = {tree.File("a", ""), tree.File("b", "")};
    EXPECT_EQ(Classify(paths, 0, 1 << 20), (RunGroups{{0, 1}}));
}

TEST(ContentClassifier, HardLinksSplitAGroupAsThePairwiseComparisonDoes) {
    TempTree tree;
    // Table order A, B (link of A), C (copy), D (link of C): A takes C, then B takes D.
    tree.File("A", "same");
    tree.HardLink("A", "B");
    tree.File("C", "same");
    tree.HardLink("C", "D");
    const std::vector<std::string> paths = {tree.Path("A"), tree.Path("B"), tree.Path("C"),
                                            tree.Path("D")};
    EXPECT_EQ(Classify(paths, 4, 1 << 20), (RunGroups{{0, 2}, {1, 3}}));
}

TEST(ContentClassifier, StopsWhenAsked) {
    TempTree tree;
    const std::vector<std::string> paths = {tree.File("a", "x"), tree.File("b", "x")};
    std::vector<RunFile> files = {FileOf(paths[0], 0), FileOf(paths[1], 1)};
    ContentClassifier classifier(
        [&paths](int slot) { return paths[static_cast<std::size_t>(slot)]; }, [] { return true; },
        1 << 20);
    EXPECT_TRUE(classifier.Classify(1, files).Groups.empty());
}

// A random tree with the shapes that make content matching hard: many files of one size, shared
// heads, shared tails, copies, hard links and empty files.
void BuildRandomTree(TempTree& tree, unsigned seed) {
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::size_t sizes[] = {0, 1, 100, 4096, 4097, 8192, 12000, 70000};
    std::vector<std::string> made;
    for (int i = 0; i < 80; ++i) {
        const std::string name = "d" + std::to_string(pick(6)) + "/f" + std::to_string(i);
        const int shape = pick(6);
        if (shape == 0 && !made.empty()) {
            const std::string& original =
                made[static_cast<std::size_t>(pick(static_cast<int>(made.size())))];
            std::filesystem::create_directories(
                std::filesystem::path(tree.Path(name)).parent_path());
            std::filesystem::create_hard_link(tree.Path(original), tree.Path(name));
            continue;
        }
        const std::size_t size = sizes[pick(8)];
        std::string bytes = Contents(size, static_cast<unsigned>(pick(4)));  // few distinct seeds
        if (shape == 1 && size > 0) {
            bytes[static_cast<std::size_t>(pick(static_cast<int>(size)))] ^= 1;  // near copy
        }
        tree.File(name, bytes);
        made.push_back(name);
    }
}

TEST(ContentPassOracle, ClassesFindThePairwiseGroupsInTheSameOrder) {
    for (unsigned seed = 1; seed <= 25; ++seed) {
        SCOPED_TRACE(seed);
        TempTree tree;
        BuildRandomTree(tree, seed);
        RecordingHost pairwise({tree.Root()});
        RunSearch(pairwise, {.Comparison = search::ContentComparison::Pairwise});
        RecordingHost classes({tree.Root()});
        RunSearch(classes, {.Comparison = search::ContentComparison::Classes});
        EXPECT_FALSE(classes.Groups.empty());
        EXPECT_EQ(classes.Groups, pairwise.Groups);
        EXPECT_EQ(classes.Messages, pairwise.Messages);
    }
}

}  // namespace
