#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Files, folders and environment for tests that work on the real file system. No GoogleTest and
// no Qt here: every test suite links it.
namespace testing_support {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// `path`, written with "/" between its parts, with the system's separator there instead.
inline std::string WithSystemSeparators(std::string path) {
    for (char& c : path) {
        c = c == '/' ? kSeparator : c;
    }
    return path;
}

// A path that the program spells in UTF-8 (as every system's file names are kept in the program)
// for the C++ library's file-system calls.
std::filesystem::path NativePath(const std::string& path);

// A fresh folder (in `base`, else the system's temporary folder) that is removed with everything
// in it when the object goes.
class TempFolder {
  public:
    explicit TempFolder(const std::string& base = {});
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Resolved, so that tests can compare it with the real paths that the program reports.
    const std::string& Root() const { return m_root; }
    // `relative` is written with "/" between its parts, whatever the system's separator.
    std::string Path(const std::string& relative) const {
        return m_root + kSeparator + WithSystemSeparators(relative);
    }
    std::string operator/(const std::string& relative) const { return Path(relative); }

  private:
    std::string m_root;
};

// Sets (or, with nullopt, unsets) an environment variable for the object's lifetime.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// Sets the local time zone (TZ) for the object's lifetime.
class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const std::string& zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  private:
    std::unique_ptr<ScopedEnv> m_zone;
};

// Writes `contents` to `path`, creating the folders on its way; throws when it cannot.
void WriteFile(const std::string& path, const std::string& contents);
// The contents of `path`; nullopt when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path);
// True when something (even a broken symbolic link) has that name.
bool Exists(const std::string& path);
// Permission bits of `path`, without following a final symbolic link.
mode_t ModeOf(const std::string& path);
// The names in `folder`, sorted, without "." and "..".
std::vector<std::string> NamesIn(const std::string& folder);

// Gives up root's privileges for good (to the user nobody), when this process has them, so that
// file permissions apply to it; false when that fails.
bool GiveUpPrivileges();

// Runs `check` in a child process that has given up root's privileges (when it had them), so that
// file permissions apply to it. `check` returns a failure text, empty when all is well; the
// result is that text, or a text saying how the child ended abnormally.
std::string RunWithoutPrivileges(const std::function<std::string()>& check);

}  // namespace testing_support
