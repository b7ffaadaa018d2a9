#pragma once

#include <string>

namespace platform {

// A path as a folder descriptor and a name within that folder, for the *at() system calls.
// A path that the path calls take whole stays whole (the folder is the current one); a longer
// one is reached folder by folder, so that files deeper than PATH_MAX bytes can still be
// listed, opened and looked at.
//
// Legal order: construct, check Error(), then pass Folder() and Name() to the *at() calls while
// this object lives.
class PathAt {
  public:
    explicit PathAt(const std::string& path);
    ~PathAt();
    PathAt(const PathAt&) = delete;
    PathAt& operator=(const PathAt&) = delete;

    // 0, or the errno of the folder on the way that could not be opened.
    int Error() const { return m_error; }
    int Folder() const { return m_folder; }
    const char* Name() const { return m_name.c_str(); }

  private:
    int m_folder;
    std::string m_name;
    int m_error = 0;
};

// open() for a path of any length: the descriptor, or -1 with errno set.
int OpenAnyLength(const std::string& path, int flags);

}  // namespace platform
