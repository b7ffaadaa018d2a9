#pragma once

#include <string>

namespace testing_support {

// A fresh temporary folder that is removed with everything in it when the object goes.
class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& Root() const { return m_root; }
    std::string Path(const std::string& relative) const { return m_root + "/" + relative; }

    // Writes a file with `contents`, creating the folders on its way. Returns its full path.
    std::string File(const std::string& relative, const std::string& contents);
    std::string Folder(const std::string& relative);
    void HardLink(const std::string& existing, const std::string& relative);
    void SymLink(const std::string& target, const std::string& relative);

  private:
    std::string m_root;
};

// `size` bytes that follow from `seed`: equal seeds give equal contents.
std::string Contents(std::size_t size, unsigned seed);

}  // namespace testing_support
