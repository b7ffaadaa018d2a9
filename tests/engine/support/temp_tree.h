#pragma once

#include <string>

#include "common/test_files.h"

namespace testing_support {

// A fresh temporary folder, removed with everything in it when the object goes, and the ways to
// fill it with a tree of files.
class TempTree {
  public:
    const std::string& Root() const { return m_folder.Root(); }
    std::string Path(const std::string& relative) const { return m_folder.Path(relative); }

    // Writes a file with `contents`, creating the folders on its way. Returns its full path.
    std::string File(const std::string& relative, const std::string& contents);
    std::string Folder(const std::string& relative);
    void HardLink(const std::string& existing, const std::string& relative);
    void SymLink(const std::string& target, const std::string& relative);

  private:
    TempFolder m_folder;
};

// `size` bytes that follow from `seed`: equal seeds give equal contents.
std::string Contents(std::size_t size, unsigned seed);

}  // namespace testing_support
