#pragma once

#include <sys/types.h>

#include <string>

#include "common/test_files.h"

namespace platform_testing {

using testing_support::Exists;
using testing_support::ModeOf;
using testing_support::NamesIn;
using testing_support::ReadFile;
using testing_support::ScopedEnv;
using testing_support::ScopedTimeZone;
using testing_support::TempFolder;
using testing_support::WriteFile;

// Device of `path`.
dev_t DeviceOf(const std::string& path);

// A writable folder on another file system than the system's temporary folder (tmpfs in
// /dev/shm), or empty when this machine has none.
std::string OtherFileSystemBase();

}  // namespace platform_testing
