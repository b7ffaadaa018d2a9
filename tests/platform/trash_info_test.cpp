#include "platform/posix/trash_info.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <set>
#include <string>

#include "support/platform_fixture.h"

namespace platform {
namespace {

TEST(PercentEncodePath, EscapesEveryByteButUnreservedOnesAndSlash) {
    struct Case {
        std::string path;
        std::string encoded;
    };
    const Case cases[] = {
        {"/home/u/a.txt", "/home/u/a.txt"},
        {"/x/Az09-._~", "/x/Az09-._~"},
        {"/x/100%\nsure.txt", "/x/100%25%0Asure.txt"},
        {"/x/\xff\xfe.txt", "/x/%FF%FE.txt"},
        {"/x/a b#?&+=:.txt", "/x/a%20b%23%3F%26%2B%3D%3A.txt"},
        {"/x/\xe6\x97\xa5\xe6\x9c\xac", "/x/%E6%97%A5%E6%9C%AC"},
        {"rel/\x01\x7f", "rel/%01%7F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encoded);
        EXPECT_EQ(PercentEncodePath(c.path), c.encoded);
    }
}

TEST(TrashInfoText, HoldsHeaderPathAndLocalDeletionDate) {
    {
        platform_testing::ScopedTimeZone utc("UTC");
        EXPECT_EQ(TrashInfoText("/x/100%25.txt", 1700000000),
                  "[Trash Info]\nPath=/x/100%25.txt\nDeletionDate=2023-11-14T22:13:20\n");
    }
    platform_testing::ScopedTimeZone tokyo("JST-9");
    EXPECT_EQ(TrashInfoText("a", 1700000000),
              "[Trash Info]\nPath=a\nDeletionDate=2023-11-15T07:13:20\n");
}

TEST(TrashNameSuffix, NumbersTheFirstTriesThenTakesRandomNumbers) {
    std::uint32_t next = 0xbeef;
    const auto random = [&next] { return next++; };
    const struct {
        int attempt;
        std::string suffix;
    } cases[] = {
        {0, ""},
        {1, ".2"},
        {kNumberedTrashNames - 1, "." + std::to_string(kNumberedTrashNames)},
        {kNumberedTrashNames, ".0000beef"},
        {kMaxTrashNameAttempts - 1, ".0000bef0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attempt);
        EXPECT_EQ(TrashNameSuffix(c.attempt, random), c.suffix);
    }
    EXPECT_EQ(next, 0xbef1U);
}

TEST(TrashedName, AddsSuffixBeforeExtension) {
    struct Case {
        std::string name;
        std::string suffix;
        std::string trashed;
    };
    const Case cases[] = {
        {"a.txt", "", "a.txt"},
        {"a.txt", ".2", "a.2.txt"},
        {"archive.tar.gz", ".3", "archive.tar.3.gz"},
        {"noext", ".2", "noext.2"},
        {".profile", ".2", ".profile.2"},
        {"\xff\xfe.txt", ".2", "\xff\xfe.2.txt"},
        {"index.html", ".00c0ffee", "index.00c0ffee.html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trashed);
        EXPECT_EQ(TrashedName(c.name, c.suffix), c.trashed);
    }
}

constexpr std::size_t kMaxTrashedName = kMaxNameBytes - kTrashInfoExtension.size();

TEST(TrashedName, ShortensLongNamesBetweenCharacters) {
    const std::string hiragana = "\xe3\x81\x82";  // three bytes in UTF-8
    std::string japanese;
    for (int i = 0; i < 82; ++i) {
        japanese += hiragana;
    }
    struct Case {
        const char* what;
        std::string name;
        std::string stemStart;  // what the shortened name begins with
        std::string extension;  // what it ends with, after the number
        std::size_t stemUnit;   // the kept stem is whole units of this many bytes
    };
    const Case cases[] = {
        {"ascii", std::string(246, 'a') + ".txt", "aaaa", ".txt", 1},
        {"three-byte characters", japanese + ".txt", hiragana + hiragana, ".txt", 3},
        {"invalid UTF-8", std::string(250, '\xff'), "\xff\xff", "", 1},
        {"extension too long to keep", "a." + std::string(252, 'e'), "a.eee", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::string suffix : {"", ".2", ".10", ".deadbeef"}) {
            SCOPED_TRACE(suffix);
            const std::string trashed = TrashedName(c.name, suffix);
            EXPECT_LE(trashed.size(), kMaxTrashedName);
            EXPECT_GE(trashed.size(), kMaxTrashedName - 2);
            EXPECT_EQ(trashed.substr(0, c.stemStart.size()), c.stemStart);
            const std::string end = suffix + c.extension;
            ASSERT_GE(trashed.size(), end.size());
            EXPECT_EQ(trashed.substr(trashed.size() - end.size()), end);
            EXPECT_EQ((trashed.size() - end.size()) % c.stemUnit, 0U);
        }
    }
}

TEST(TrashedName, EveryAttemptGivesAnotherNameThatFits) {
    for (const std::string& name : {std::string("a.txt"), std::string(250, 'b')}) {
        std::set<std::string> seen;
        for (int attempt = 0; attempt < kMaxTrashNameAttempts; ++attempt) {
            const std::string trashed = TrashedName(name, TrashNameSuffix(attempt, [attempt] {
                                                        return static_cast<std::uint32_t>(attempt);
                                                    }));
            EXPECT_LE(trashed.size(), kMaxTrashedName);
            seen.insert(trashed);
        }
        EXPECT_EQ(seen.size(), static_cast<std::size_t>(kMaxTrashNameAttempts));
    }
}

}  // namespace
}  // namespace platform
