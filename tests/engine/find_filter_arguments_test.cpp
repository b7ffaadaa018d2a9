// dopplet-find's filter options, read from its command line.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cli/arguments.h"

namespace {

using cli::FindRequest;

TEST(FindFilterArguments, ReadsSizesInUnitsOf1024) {
    struct Case {
        const char* Text;
        bool Valid;
        std::int64_t Size;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"1048576", true, 1048576},
        {"1K", true, 1024},
        {"1k", true, 1024},
        {"1M", true, 1048576},
        {"3G", true, 3LL << 30},
        {"007", true, 7},
        {"999999999999999999", true, 999999999999999999},
        {"8589934591G", true, 8589934591LL << 30},  // the largest that 63 bits hold
        {"8589934592G", false, 0},
        {"9999999999999999999", false, 0},
        {"", false, 0},
        {"M", false, 0},
        {"-1", false, 0},
        {"+1", false, 0},
        {"1.5M", false, 0},
        {"1MB", false, 0},
        {"1T", false, 0},
        {" 1", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        std::int64_t size = -5;
        EXPECT_EQ(cli::ParseSize(c.Text, size), c.Valid);
        if (c.Valid) {
            EXPECT_EQ(size, c.Size);
        }
    }
}

TEST(FindFilterArguments, FillsTheFilter) {
    const cli::FindArguments parsed = cli::ParseFindArguments(
        {"--min-size", "1M", "--max-size=2G", "--exclude", "*.tmp", "--exclude=.git", "--no-empty",
         "--no-hidden", "dir", "--", "--exclude"});
    ASSERT_EQ(parsed.Request, FindRequest::Search) << parsed.Problem;
    EXPECT_EQ(parsed.Filter.MinSize, 1 << 20);
    EXPECT_EQ(parsed.Filter.MaxSize, 2LL << 30);
    EXPECT_EQ(parsed.Filter.Excluded, (std::vector<std::string>{"*.tmp", ".git"}));
    EXPECT_FALSE(parsed.Filter.EmptyFiles);
    EXPECT_FALSE(parsed.Filter.HiddenFiles);
    EXPECT_EQ(parsed.Folders, (std::vector<std::string>{"dir", "--exclude"}));
}

TEST(FindFilterArguments, LeavesTheDefaultFilterWithoutOptions) {
    const cli::FindArguments parsed = cli::ParseFindArguments({"dir"});
    EXPECT_EQ(parsed.Filter.MinSize, 0);
    EXPECT_EQ(parsed.Filter.MaxSize, search::SearchFilter::kNoLimit);
    EXPECT_TRUE(parsed.Filter.Excluded.empty());
    EXPECT_TRUE(parsed.Filter.EmptyFiles);
    EXPECT_TRUE(parsed.Filter.HiddenFiles);
}

TEST(FindFilterArguments, NamesBadValues) {
    struct Case {
        std::vector<std::string> Arguments;
        const char* Problem;
    };
    const Case cases[] = {
        {{"dir", "--min-size"}, "--min-size needs a value"},
        {{"dir", "--exclude"}, "--exclude needs a value"},
        {{"--max-size", "lots", "dir"}, "bad size for --max-size: lots"},
        {{"--min-size=", "dir"}, "bad size for --min-size: "},
        {{"--exclude=", "dir"}, "--exclude needs a pattern"},
        {{"--min-size", "2M", "--max-size", "1M", "dir"}, "--min-size is larger than --max-size"},
        // Sizes that cannot both hold are named before a missing folder, so that adding the
        // folder does not bring up a second problem.
        {{"--min-size", "2M", "--max-size", "1M"}, "--min-size is larger than --max-size"},
        {{"--min-sizes=1", "dir"}, "unknown option: --min-sizes"},
        {{"--no-empty=yes", "dir"}, "--no-empty takes no value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Problem);
        const cli::FindArguments parsed = cli::ParseFindArguments(c.Arguments);
        EXPECT_EQ(parsed.Request, FindRequest::Usage);
        EXPECT_EQ(parsed.Problem, c.Problem);
    }
}

}  // namespace
