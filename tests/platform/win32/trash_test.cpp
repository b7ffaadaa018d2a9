#include <gtest/gtest.h>

#include <string>

#include "common/test_files.h"
#include "platform/file_operations.h"
#include "platform/path.h"
#include "platform/trash.h"

namespace platform {
namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

// Whatever the recycle bin can do on this system, a delete never loses a file for good: either
// the file went to the recycle bin and comes back with the undo, or the delete failed and the
// file is still there. (Windows itself deletes for good on drives without a recycle bin; wine
// has no recycle bin that the shell's file operation reaches.)
TEST(WindowsTrash, ADeleteIsRecycledWithUndoOrFailsAndKeepsTheFile) {
    const TempFolder folder;
    const std::string path = JoinPath(folder.Root(), "写真.jpg");
    WriteFile(path, "photo");
    const TrashResult result = MoveToTrash(path);
    if (result.Error) {
        EXPECT_EQ(ReadFile(path), "photo") << result.Error.message();
        return;
    }
    EXPECT_FALSE(ReadFile(path).has_value());
    ASSERT_FALSE(result.Trashed.TrashedPath.empty());
    EXPECT_FALSE(RestoreFromTrash(result.Trashed));
    EXPECT_EQ(ReadFile(path), "photo");
}

TEST(WindowsTrash, AMoveThatCannotRecycleTheFileItReplacesChangesNothing) {
    const TempFolder folder;
    const std::string source = JoinPath(JoinPath(folder.Root(), "a"), "海.jpg");
    const std::string target = JoinPath(JoinPath(folder.Root(), "b"), "海.jpg");
    WriteFile(source, "new");
    WriteFile(target, "old");
    const MoveResult moved = MoveToFolder(source, ParentFolder(target));
    if (moved.Error) {
        EXPECT_EQ(ReadFile(source), "new");
        EXPECT_EQ(ReadFile(target), "old");
        return;
    }
    EXPECT_EQ(moved.NewPath, target);
    EXPECT_EQ(ReadFile(target), "new");
    ASSERT_TRUE(moved.Replaced.has_value());
    EXPECT_FALSE(ReadFile(source).has_value());
}

TEST(WindowsTrash, AMoveWithoutAFileInTheWayMovesTheFile) {
    const TempFolder folder;
    const std::string source = JoinPath(JoinPath(folder.Root(), "a"), "海.jpg");
    WriteFile(source, "new");
    WriteFile(JoinPath(JoinPath(folder.Root(), "b"), "other"), "");
    const MoveResult moved = MoveToFolder(source, JoinPath(folder.Root(), "b"));
    ASSERT_FALSE(moved.Error) << moved.Error.message();
    EXPECT_EQ(moved.NewPath, JoinPath(JoinPath(folder.Root(), "b"), "海.jpg"));
    EXPECT_EQ(ReadFile(moved.NewPath), "new");
    EXPECT_FALSE(moved.Replaced.has_value());
    EXPECT_FALSE(ReadFile(source).has_value());
    // A move into the folder that holds the file already changes nothing.
    const MoveResult again = MoveToFolder(moved.NewPath, JoinPath(folder.Root(), "b"));
    EXPECT_FALSE(again.Error);
    EXPECT_EQ(ReadFile(moved.NewPath), "new");
}

}  // namespace
}  // namespace platform
