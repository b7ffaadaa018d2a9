#include "platform/file_compare.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/platform_fixture.h"

namespace platform {
namespace {

using platform_testing::TempFolder;
using platform_testing::WriteFile;

TEST(HaveSameBytes, TrueOnlyForTwoReadableFilesWithEqualBytes) {
    TempFolder folder;
    const std::string big(600 * 1024, 'x');  // more than one read
    std::string bigLastDiffers = big;
    bigLastDiffers.back() = 'y';
    WriteFile(folder.Path("big"), big);
    WriteFile(folder.Path("big copy"), big);
    WriteFile(folder.Path("big last byte"), bigLastDiffers);
    WriteFile(folder.Path("short"), "abc");
    WriteFile(folder.Path("short copy"), "abc");
    WriteFile(folder.Path("longer"), "abcd");
    WriteFile(folder.Path("empty"), "");
    WriteFile(folder.Path("empty copy"), "");
    ASSERT_EQ(mkfifo((folder.Path("fifo")).c_str(), 0600), 0);

    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"big", "big copy", true},     {"big", "big last byte", false},
        {"short", "short copy", true}, {"short", "longer", false},
        {"empty", "empty copy", true}, {"short", "missing", false},
        {"missing", "missing", false}, {"short", ".", false},  // a folder
        {"fifo", "fifo", false},                               // never opened, never blocks
        {"short", "short", true},                              // one file against itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(HaveSameBytes(folder.Path(c.a), folder.Path(c.b)), c.same);
    }
}

}  // namespace
}  // namespace platform
