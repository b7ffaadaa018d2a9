#include "support/temp_folder.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace functest {

namespace {

constexpr uid_t kNobody = 65534;

}  // namespace

std::string ReadBytes(const std::string& path) {
    return testing_support::ReadFile(path).value_or("<missing>");
}

bool GiveUpPrivileges() {
    return geteuid() != 0 ||
           (setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0);
}

std::string RunWithoutPrivileges(const std::function<std::string()>& check) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return "pipe failed";
    }
    const pid_t child = fork();
    if (child < 0) {
        return "fork failed";
    }
    if (child == 0) {
        close(pipeEnds[0]);
        std::string failure;
        if (!GiveUpPrivileges()) {
            failure = "could not give up root's privileges";
        } else {
            failure = check();
        }
        [[maybe_unused]] const ssize_t written = write(pipeEnds[1], failure.data(), failure.size());
        close(pipeEnds[1]);
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string failure;
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        failure.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "the check's process ended abnormally";
    }
    return failure;
}

}  // namespace functest
