#include "support/temp_tree.h"

#include <filesystem>
#include <random>

namespace testing_support {

std::string TempTree::File(const std::string& relative, const std::string& contents) {
    const std::string path = Path(relative);
    WriteFile(path, contents);
    return path;
}

std::string TempTree::Folder(const std::string& relative) {
    const std::string path = Path(relative);
    std::filesystem::create_directories(NativePath(path));
    return path;
}

void TempTree::HardLink(const std::string& existing, const std::string& relative) {
    std::filesystem::create_hard_link(NativePath(Path(existing)), NativePath(Path(relative)));
}

void TempTree::SymLink(const std::string& target, const std::string& relative) {
    std::filesystem::create_symlink(NativePath(target), NativePath(Path(relative)));
}

std::string Contents(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

}  // namespace testing_support
