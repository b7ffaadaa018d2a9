// The content classifier on its own, and the content pass against the pairwise comparison that
// it replaces: both must find the same groups in the same order.

#include "search/content_classes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/stat.h>

#include <filesystem>
#include <random>

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

RunGroups Classify(const std::vector<std::string>& paths, std::int64_t size, std::size_t budget,
                   ContentClassifier::RangeHash hash = nullptr) {
    std::vector<RunFile> files;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        files.push_back(FileOf(paths[i], static_cast<int>(i)));
    }
    ContentClassifier classifier(
        [&paths](int slot) { return paths[static_cast<std::size_t>(slot)]; }, [] { return false; },
        budget);
    if (hash != nullptr) {
        classifier.UseRangeHash(hash);
    }
    return classifier.Classify(size, files);
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

TEST(ContentClassifier, FilesThatCannotBeReadToTheirSizeMatchNothing) {
    TempTree tree;
    const std::string same = Contents(5000, 3);
    const std::vector<std::string> paths = {
        tree.File("a", same),
        tree.File("b", same),
        tree.File("grown", same + "more"),  // the walk saw 5000 bytes
        tree.File("shrunk", same.substr(0, 4999)),
        tree.Path("vanished"),
        tree.File("c", same),
    };
    EXPECT_EQ(Classify(paths, 5000, 1 << 20), (RunGroups{{0, 1, 5}}));
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
    EXPECT_TRUE(classifier.Classify(1, files).empty());
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
