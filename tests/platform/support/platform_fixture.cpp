#include "support/platform_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace platform_testing {

dev_t DeviceOf(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

std::string OtherFileSystemBase() {
    const std::string candidate = "/dev/shm";
    struct stat st {};
    if (stat(candidate.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_dev == DeviceOf(std::filesystem::temp_directory_path().string()) ||
        access(candidate.c_str(), W_OK) != 0) {
        return {};
    }
    return candidate;
}

}  // namespace platform_testing
