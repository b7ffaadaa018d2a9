#include "support/disturb.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "support/temp_folder.h"

namespace functest {

void Disturb(const std::string& path, Disturbance disturbance) {
    switch (disturbance) {
        case Disturbance::None:
            break;
        case Disturbance::Vanished:
            ASSERT_EQ(unlink(path.c_str()), 0);
            break;
        case Disturbance::Grown:
            WriteFile(path, ReadBytes(path) + ", and more");
            break;
        case Disturbance::Touched: {
            const timespec times[2] = {{0, UTIME_OMIT}, {1000000, 0}};
            ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
            break;
        }
        case Disturbance::Replaced: {
            struct stat old {};
            ASSERT_EQ(stat(path.c_str(), &old), 0);
            const std::string other = path + ".new";
            WriteFile(other, ReadBytes(path));
            const timespec times[2] = {old.st_atim, old.st_mtim};
            ASSERT_EQ(utimensat(AT_FDCWD, other.c_str(), times, 0), 0);
            ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
            break;
        }
        case Disturbance::Rewritten: {
            struct stat old {};
            ASSERT_EQ(stat(path.c_str(), &old), 0);
            std::string bytes = ReadBytes(path);
            for (char& byte : bytes) {
                byte = static_cast<char>(byte ^ 0x20);
            }
            // The change time moves in clock ticks: write until it shows the change.
            struct stat now = old;
            while (now.st_ctim.tv_sec == old.st_ctim.tv_sec &&
                   now.st_ctim.tv_nsec == old.st_ctim.tv_nsec) {
                WriteFile(path, bytes);
                const timespec times[2] = {old.st_atim, old.st_mtim};
                ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
                ASSERT_EQ(stat(path.c_str(), &now), 0);
            }
            break;
        }
    }
}

}  // namespace functest
