// In the name modes a search also tells, per member, whether it holds the bytes of the group's
// first member.

#include "search/first_contents.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <ostream>

#include "search/search.h"
#include "support/case_names.h"
#include "support/recording_host.h"
#include "support/temp_tree.h"

namespace {

using search::ContentMatch;
using testing_support::RecordingHost;
using testing_support::RunSearch;
using testing_support::TempTree;

struct Case {
    const char* what;
    std::map<std::string, std::string> files;  // relative path -> contents; one name group
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.what;
}

class NameGroupContents : public testing::TestWithParam<Case> {};

// Every member is compared with the first one, whichever the search put first.
TEST_P(NameGroupContents, SayWhichMembersHoldTheFirstMembersBytes) {
    const Case& c = GetParam();
    TempTree tree;
    std::map<std::string, std::string> contents;
    for (const auto& [relative, bytes] : c.files) {
        contents[tree.File(relative, bytes)] = bytes;
    }
    RecordingHost host({tree.Root()});

    RunSearch(host, {.Mode = search::kCompareName, .ContentMatches = true});

    ASSERT_EQ(host.Groups.size(), 1u);
    const std::string& first = host.Groups[0][0];
    std::map<std::string, ContentMatch> expected;
    bool firstHasACopy = false;
    for (const std::string& path : host.Groups[0]) {
        const bool same = contents[path] == contents[first];
        expected[path] = same ? ContentMatch::Same : ContentMatch::Different;
        firstHasACopy = firstHasACopy || (same && path != first);
    }
    // The first says Same only when another member holds its bytes.
    expected[first] = firstHasACopy ? ContentMatch::Same : ContentMatch::Different;
    EXPECT_EQ(host.Matches, expected);
}

std::map<std::string, std::string> Copies(int count, const std::string& bytes) {
    std::map<std::string, std::string> files;
    for (int i = 0; i < count; ++i) {
        files["f" + std::to_string(100 + i) + "/x.dat"] = bytes;
    }
    return files;
}

std::map<std::string, std::string> With(std::map<std::string, std::string> files,
                                        const std::string& relative, const std::string& bytes) {
    files[relative] = bytes;
    return files;
}

const std::string kBig(300 * 1024, 'b');  // more than one read

INSTANTIATE_TEST_SUITE_P(
    Cases, NameGroupContents,
    testing::Values(Case{"all the same", Copies(3, "same bytes")},
                    Case{"one is a byte longer", With(Copies(3, kBig), "z/x.dat", kBig + "!")},
                    Case{"one differs in its last byte, same size",
                         With(Copies(2, kBig), "z/x.dat", kBig.substr(0, kBig.size() - 1) + "!")},
                    Case{"sizes differ",
                         {{"a/x.dat", "one"}, {"b/x.dat", "three"}, {"c/x.dat", "three"}}},
                    Case{"three contents of one size",
                         {{"a/x.dat", "one"}, {"b/x.dat", "two"}, {"c/x.dat", "six"}}},
                    Case{"empty files", Copies(3, "")},
                    Case{"more members than are compared at once",
                         With(Copies(20, kBig), "f110/x.dat", "c" + kBig.substr(1))}),
    testing_support::NamedAfterDescription());

TEST(NameGroupContentsHandOver, ComesAfterTheGroupAndBeforeTheEnd) {
    TempTree tree;
    tree.File("a/x.dat", "same");
    tree.File("b/x.dat", "same");
    RecordingHost host({tree.Root()});

    RunSearch(host, {.Mode = search::kCompareName, .ContentMatches = true});

    const auto at = [&](const std::string& event) {
        return std::find(host.Events.begin(), host.Events.end(), event) - host.Events.begin();
    };
    EXPECT_LT(at("post 0"), at("matches 0"));
    EXPECT_LT(at("matches 0"), at("finished"));
    EXPECT_LT(at("finished"), static_cast<long>(host.Events.size()));
}

TEST(NameGroupContentsHandOver, NotInTheContentModeNorUnasked) {
    TempTree tree;
    tree.File("a/x.dat", "same");
    tree.File("b/x.dat", "same");
    for (const auto& options : {testing_support::SearchOptions{.ContentMatches = true},
                                testing_support::SearchOptions{.Mode = search::kCompareName}}) {
        RecordingHost host({tree.Root()});
        RunSearch(host, options);
        EXPECT_EQ(host.Groups.size(), 1u);
        EXPECT_TRUE(host.Matches.empty());
    }
}

// Files that are not what the search found are never called the same, nor different.
TEST(MatchFirstContents, UnknownForFilesThatAreNotAsFoundOrCannotBeRead) {
    TempTree tree;
    const auto found = [&](const std::string& relative) {
        const std::string path = tree.File(relative, "same bytes");
        struct stat st {};
        EXPECT_EQ(stat(path.c_str(), &st), 0);
        return search::FoundFile{
            path, st.st_size, {static_cast<std::uint64_t>(st.st_dev), st.st_ino}};
    };
    const search::FoundFile first = found("a/x");
    const search::FoundFile same = found("b/x");
    search::FoundFile vanished = found("c/x");
    std::filesystem::remove(vanished.Path);
    // Renamed aside, not deleted: the new file must not get the old one's inode back.
    search::FoundFile replaced = found("d/x");
    std::filesystem::rename(replaced.Path, tree.Path("d/aside"));
    found("e/x");
    std::filesystem::rename(tree.Path("e/x"), replaced.Path);
    search::FoundFile folder = same;
    folder.Path = tree.Path("a");
    std::atomic<std::int64_t> bytes{0};
    const auto never = [] { return false; };

    EXPECT_EQ(
        search::MatchFirstContents({first, same, vanished, replaced, folder}, never, bytes),
        (std::vector<ContentMatch>{ContentMatch::Same, ContentMatch::Same, ContentMatch::Unknown,
                                   ContentMatch::Unknown, ContentMatch::Unknown}));
    // A first member that cannot be read leaves the others of its size unknown.
    EXPECT_EQ(search::MatchFirstContents({vanished, same}, never, bytes),
              (std::vector<ContentMatch>{ContentMatch::Unknown, ContentMatch::Unknown}));
    // A stop leaves what is not settled unknown.
    EXPECT_EQ(search::MatchFirstContents(
                  {first, same}, [] { return true; }, bytes),
              (std::vector<ContentMatch>{ContentMatch::Unknown, ContentMatch::Unknown}));
}

}  // namespace
