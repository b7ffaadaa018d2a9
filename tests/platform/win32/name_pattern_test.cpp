#include "platform/name_pattern.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(WindowsNamePattern, MatchesLikeTheShell) {
    struct Case {
        const char* pattern;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"*.tmp", "a.tmp", true},
        {"*.tmp", "a.tmp.txt", false},
        {"*.tmp", "a.TMP", false},  // case counts
        {"a?c", "abc", true},
        {"a?c", "a海c", true},  // one character, however many bytes
        {"a?c", "ac", false},
        {"[ab]x", "bx", true},
        {"[!ab]x", "bx", false},
        {"[a-c]x", "cx", true},
        {"[写海]*", "海.jpg", true},
        {"*\\build\\*", "C:\\src\\build\\x.o", true},  // "\" is a separator, never an escape
        {"node_modules", "node_modules", true},
        {"*", "", true},
        {"[ab", "[ab", true},  // an open set is an ordinary "["
        {"*a*b", "xaybzb", true},
        {"*a*b", "xaybzc", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " ~ " + c.text);
        EXPECT_EQ(MatchesNamePattern(c.pattern, c.text), c.matches);
    }
}

}  // namespace
}  // namespace platform
