#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/test_files.h"

namespace functest {

// A fresh temporary folder, removed with everything in it at the end of the test. Others may
// look into it (mode 0755), so that a check run without privileges can reach its files.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // The path of `relative` inside the folder.
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }

  private:
    std::string m_path;
};

// The bytes of the file at `path`; "<missing>" when it cannot be read.
std::string ReadBytes(const std::string& path);

using testing_support::NamesIn;
using testing_support::WriteFile;

// Runs `check` in a child process that has given up root's privileges (when it had them), so that
// file permissions apply to it. `check` returns a failure text, empty when all is well; the
// result is that text, or a text saying how the child ended abnormally.
std::string RunWithoutPrivileges(const std::function<std::string()>& check);

}  // namespace functest
