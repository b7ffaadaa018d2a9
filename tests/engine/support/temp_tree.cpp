#include "support/temp_tree.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace testing_support {

TempTree::TempTree() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/dopplet-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_root = pattern;
}

TempTree::~TempTree() {
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

std::string TempTree::File(const std::string& relative, const std::string& contents) {
    const std::string path = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    return path;
}

std::string TempTree::Folder(const std::string& relative) {
    const std::string path = Path(relative);
    std::filesystem::create_directories(path);
    return path;
}

void TempTree::HardLink(const std::string& existing, const std::string& relative) {
    std::filesystem::create_hard_link(Path(existing), Path(relative));
}

void TempTree::SymLink(const std::string& target, const std::string& relative) {
    std::filesystem::create_symlink(target, Path(relative));
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
