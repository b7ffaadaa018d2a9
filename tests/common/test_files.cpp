#include "common/test_files.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_support {

namespace {

constexpr uid_t kNobody = 65534;

}  // namespace

TempFolder::TempFolder(const std::string& base) {
    const std::string folder =
        base.empty() ? std::filesystem::temp_directory_path().string() : base;
    std::string pattern = folder + "/dopplet-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed in " + folder);
    }
    m_root = std::filesystem::canonical(pattern).string();
    // Others may look into it, so that a check run without privileges can reach its files.
    chmod(m_root.c_str(), 0755);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Folders a test made read-only must become writable again before they can be emptied.
    for (auto it = std::filesystem::recursive_directory_iterator(m_root, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            chmod(it->path().c_str(), 0755);
        }
    }
    std::filesystem::remove_all(m_root, ignored);
}

std::filesystem::path NativePath(const std::string& path) {
    return std::filesystem::path(path);
}

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name) {
    if (const char* old = std::getenv(name)) {
        m_old = old;
    }
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
}

ScopedEnv::~ScopedEnv() {
    if (m_old) {
        setenv(m_name.c_str(), m_old->c_str(), 1);
    } else {
        unsetenv(m_name.c_str());
    }
}

ScopedTimeZone::ScopedTimeZone(const std::string& zone)
    : m_zone(std::make_unique<ScopedEnv>("TZ", zone)) {
    tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    m_zone.reset();
    tzset();
}

void WriteFile(const std::string& path, const std::string& contents) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
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

}  // namespace testing_support
