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

using testing_support::GiveUpPrivileges;
using testing_support::RunWithoutPrivileges;

}  // namespace functest
