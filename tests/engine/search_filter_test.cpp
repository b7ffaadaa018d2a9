// The search filters: which files and folders the walk leaves out, in every compare mode.

#include "search/search_filter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <string>
#include <vector>

#include "search/search.h"
#include "support/recording_host.h"
#include "support/temp_tree.h"

namespace {

using search::SearchFilter;
using testing_support::AsSets;
using testing_support::RecordingHost;
using testing_support::TempTree;
using Groups = std::set<std::set<std::string>>;

SearchFilter Sizes(std::int64_t min, std::int64_t max) {
    SearchFilter filter;
    filter.MinSize = min;
    filter.MaxSize = max;
    return filter;
}

SearchFilter Excluding(std::vector<std::string> patterns) {
    SearchFilter filter;
    filter.Excluded = std::move(patterns);
    return filter;
}

SearchFilter Without(bool SearchFilter::*kind) {
    SearchFilter filter;
    filter.*kind = false;
    return filter;
}

TEST(SearchFilter, DecidesByNamePathAndSize) {
    struct Case {
        const char* What;
        SearchFilter Filter;
        const char* Name;
        const char* Path;
        std::int64_t Size;
        bool LeftOut;
    };
    const Case cases[] = {
        {"the default", {}, ".hidden", "/a/.hidden", 0, false},
        {"below the minimum", Sizes(10, SearchFilter::kNoLimit), "f", "/f", 9, true},
        {"at the minimum", Sizes(10, SearchFilter::kNoLimit), "f", "/f", 10, false},
        {"at the maximum", Sizes(0, 10), "f", "/f", 10, false},
        {"above the maximum", Sizes(0, 10), "f", "/f", 11, true},
        {"an empty file", Without(&SearchFilter::EmptyFiles), "f", "/f", 0, true},
        {"a file of one byte", Without(&SearchFilter::EmptyFiles), "f", "/f", 1, false},
        {"a hidden name", Without(&SearchFilter::HiddenFiles), ".f", "/a/.f", 5, true},
        {"a hidden folder above", Without(&SearchFilter::HiddenFiles), "f", "/.a/f", 5, false},
        {"a star pattern", Excluding({"*.tmp"}), "x.tmp", "/a/x.tmp", 5, true},
        {"a star pattern, other ending", Excluding({"*.tmp"}), "x.tmpl", "/a/x.tmpl", 5, false},
        {"a plain name", Excluding({"node_modules"}), "node_modules", "/a/node_modules", 5, true},
        {"a plain name is whole", Excluding({"node_modules"}), "node_modules2", "/a/node_modules2",
         5, false},
        {"case counts", Excluding({"*.TMP"}), "x.tmp", "/a/x.tmp", 5, false},
        {"a question mark", Excluding({"?.o"}), "x.o", "/x.o", 5, true},
        {"a set", Excluding({"[ab].o"}), "c.o", "/c.o", 5, false},
        {"a dot pattern", Excluding({".git"}), ".git", "/a/.git", 5, true},
        {"any of several", Excluding({"a", "b", "c"}), "b", "/b", 5, true},
        {"a path pattern", Excluding({"/a/cache"}), "cache", "/a/cache", 5, true},
        {"a path pattern elsewhere", Excluding({"/a/cache"}), "cache", "/b/cache", 5, false},
        {"a star crosses folders", Excluding({"*/build/*.o"}), "x.o", "/a/build/sub/x.o", 5, true},
        {"an empty pattern", Excluding({""}), "f", "/f", 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(c.Filter.LeavesOutName(c.Name, c.Path) || c.Filter.LeavesOutSize(c.Size),
                  c.LeftOut);
    }
}

// Each name below stands twice, in "one" and in "two", with the same contents; a file that the
// filter leaves out costs its pair the group.
class FilteredTree {
  public:
    FilteredTree() {
        for (const char* half : {"one/", "two/"}) {
            const std::string h = half;
            m_tree.File(h + "small", "0123456789");
            m_tree.File(h + "large", std::string(3000, 'l'));
            m_tree.File(h + "empty", "");
            m_tree.File(h + ".dot", "hidden file");
            m_tree.File(h + "x.tmp", "temporary");
            m_tree.File(h + "node_modules/m", "a module");
            m_tree.File(h + ".git/g", "a git object");
        }
    }

    // The groups that the names in `names` form.
    Groups GroupsOf(const std::vector<std::string>& names) const {
        Groups groups;
        for (const std::string& name : names) {
            groups.insert({m_tree.Path("one/" + name), m_tree.Path("two/" + name)});
        }
        return groups;
    }

    Groups Search(const SearchFilter& filter, int mode) const {
        RecordingHost host({m_tree.Root()});
        testing_support::RunSearch(host, {.Mode = mode, .Filter = filter});
        return AsSets(host.Groups);
    }

  private:
    TempTree m_tree;
};

TEST(SearchFilter, LeavesFilesOutOfTheWalkInEveryCompareMode) {
    struct Case {
        const char* What;
        SearchFilter Filter;
        std::vector<std::string> Grouped;
    };
    const std::vector<std::string> every = {"small", "large",          "empty", ".dot",
                                            "x.tmp", "node_modules/m", ".git/g"};
    const Case cases[] = {
        {"nothing left out", {}, every},
        {"a minimum", Sizes(11, SearchFilter::kNoLimit), {"large", ".dot", ".git/g"}},
        {"a minimum met exactly", Sizes(3000, SearchFilter::kNoLimit), {"large"}},
        {"a maximum", Sizes(0, 10), {"small", "empty", "x.tmp", "node_modules/m"}},
        {"a maximum met exactly", Sizes(0, 0), {"empty"}},
        {"both limits", Sizes(10, 11), {"small", ".dot"}},
        {"no empty files",
         Without(&SearchFilter::EmptyFiles),
         {"small", "large", ".dot", "x.tmp", "node_modules/m", ".git/g"}},
        {"no hidden files",
         Without(&SearchFilter::HiddenFiles),
         {"small", "large", "empty", "x.tmp", "node_modules/m"}},
        {"name patterns",
         Excluding({"*.tmp", "node_modules", ".git"}),
         {"small", "large", "empty", ".dot"}},
        {"a path pattern takes one of a pair",
         Excluding({"*/two/large"}),
         {"small", "empty", ".dot", "x.tmp", "node_modules/m", ".git/g"}},
    };
    for (const int mode : {search::kCompareContent, search::kCompareStem, search::kCompareName}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.What) + " in mode " + std::to_string(mode));
            FilteredTree tree;
            EXPECT_EQ(tree.Search(c.Filter, mode), tree.GroupsOf(c.Grouped));
        }
    }
}

TEST(SearchFilter, NeverOpensNorNamesWhatItLeavesOut) {
    TempTree tree;
    tree.File("locked/a", "12345");
    tree.File("locked/b", "12345");
    tree.File("closed/c", "1");
    tree.File("blind/f.tmp", "1");  // listed, but cannot be looked at
    tree.File("open/d", "123456789012");
    tree.File("open/e", "123456789012");
    chmod(tree.Path("locked/a").c_str(), 0);
    chmod(tree.Path("locked/b").c_str(), 0);
    chmod(tree.Path("closed").c_str(), 0);
    chmod(tree.Path("blind").c_str(), 0444);
    const std::string failure = testing_support::RunWithoutPrivileges([&]() -> std::string {
        // Unfiltered, the locked files, the closed folder and the blind entry are named.
        RecordingHost unfiltered({tree.Root()});
        testing_support::RunSearch(unfiltered);
        if (unfiltered.Skipped.size() != 4) {
            return "the unreadable paths were not named without the filter";
        }
        SearchFilter filter = Excluding({"closed", "*.tmp"});
        filter.MinSize = 10;
        RecordingHost filtered({tree.Root()});
        testing_support::RunSearch(filtered, {.Filter = filter});
        if (AsSets(filtered.Groups) != Groups{{tree.Path("open/d"), tree.Path("open/e")}}) {
            return "the readable files were not grouped";
        }
        if (!filtered.Skipped.empty()) {
            return "a file or folder left out was opened or named as skipped: " +
                   filtered.Skipped.front().Path;
        }
        return {};
    });
    chmod(tree.Path("locked/a").c_str(), 0644);
    chmod(tree.Path("locked/b").c_str(), 0644);
    chmod(tree.Path("closed").c_str(), 0755);
    chmod(tree.Path("blind").c_str(), 0755);
    EXPECT_EQ(failure, "");
}

TEST(SearchFilter, AlwaysWalksTheTargetsThemselves) {
    TempTree tree;
    tree.File(".config/a", "same");
    tree.File(".config/b", "same");
    SearchFilter filter = Without(&SearchFilter::HiddenFiles);
    filter.Excluded = {".config"};
    RecordingHost host({tree.Path(".config")});
    testing_support::RunSearch(host, {.Filter = filter});
    EXPECT_EQ(AsSets(host.Groups), (Groups{{tree.Path(".config/a"), tree.Path(".config/b")}}));
}

}  // namespace
