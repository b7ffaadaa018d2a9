#include "platform/file_operations.h"

#include "platform/file_stamp.h"
#include "platform/file_system.h"
#include "platform/path.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

// The system copies a file's streams, attributes and access rules itself; this category only
// names such a failure.
class AttributeErrorCategory : public std::error_category {
  public:
    const char* name() const noexcept override { return "extended attribute"; }
    std::string message(int condition) const override {
        return std::system_category().message(condition);
    }
};

bool IsSameFile(const std::string& a, const std::string& b) {
    const std::optional<FileStamp> first = ReadFileStamp(a);
    const std::optional<FileStamp> second = ReadFileStamp(b);
    return first && second && first->Identity == second->Identity;
}

}  // namespace

const std::error_category& AttributeCategory() {
    static const AttributeErrorCategory category;
    return category;
}

std::error_code RenameNoReplace(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING the call fails when `to` exists; a change of letter case
    // alone names the same file, which the call renames.
    if (!MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), 0)) {
        return LastError();
    }
    return {};
}

MoveResult MoveToFolder(const std::string& source, const std::string& folder) {
    MoveResult result;
    const std::string target = JoinPath(folder, SplitPath(source).Name);
    if (Exists(target) && IsSameFile(source, target)) {
        result.NewPath = target;
        return result;
    }
    if (Exists(target)) {
        TrashResult trashed = MoveToTrash(target);
        if (trashed.Error) {
            result.Error = trashed.Error;
            return result;
        }
        result.Replaced = std::move(trashed.Trashed);
    }
    // Across volumes the system copies the file (contents, streams, attributes, times) and only
    // then deletes it at its old place; never over a file that took the target's name meanwhile.
    if (!MoveFileExW(SystemPath(source).c_str(), SystemPath(target).c_str(),
                     MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
        result.Error = LastError();
        if (result.Replaced) {
            RestoreFromTrash(*result.Replaced);
            result.Replaced.reset();
        }
        return result;
    }
    result.NewPath = target;
    return result;
}

}  // namespace platform
