#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/test_files.h"

namespace functest {

using testing_support::TempFolder;

// The bytes of the file at `path`; "<missing>" when it cannot be read.
std::string ReadBytes(const std::string& path);

using testing_support::NamesIn;
using testing_support::WriteFile;

// Gives up root's privileges for good (to the user nobody), when this process has them, so that
// file permissions apply to it; false when that fails.
bool GiveUpPrivileges();

// Runs `check` in a child process that has given up root's privileges (when it had them), so that
// file permissions apply to it. `check` returns a failure text, empty when all is well; the
// result is that text, or a text saying how the child ended abnormally.
std::string RunWithoutPrivileges(const std::function<std::string()>& check);

}  // namespace functest
