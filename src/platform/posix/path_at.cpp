#include "platform/posix/path_at.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace platform {

PathAt::PathAt(const std::string& path) : m_folder(AT_FDCWD), m_name(path) {
    if (path.size() < PATH_MAX) {
        return;
    }
    // Open the folders one name at a time. Every step is an openat() relative to the folder
    // before it, so no call ever sees more than one name.
    const std::size_t last = path.find_last_of('/');
    std::size_t begin = 0;
    if (path.front() == '/') {
        m_folder = open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        begin = 1;
    } else {
        m_folder = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    while (m_folder >= 0 && last != std::string::npos && begin < last) {
        const std::size_t end = path.find('/', begin);
        if (end > begin) {
            const std::string name = path.substr(begin, end - begin);
            const int next = openat(m_folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            const int error = errno;
            close(m_folder);
            m_folder = next;
            errno = error;
        }
        begin = end + 1;
    }
    if (m_folder < 0) {
        m_error = errno;
        return;
    }
    m_name = last == std::string::npos ? path : path.substr(last + 1);
    if (m_name.empty()) {
        m_name.assign(1, '.');  // the path ended with a separator: the folder itself
    }
}

PathAt::~PathAt() {
    if (m_folder >= 0) {
        close(m_folder);
    }
}

int OpenAnyLength(const std::string& path, int flags) {
    const PathAt at(path);
    if (at.Error() != 0) {
        errno = at.Error();
        return -1;
    }
    return openat(at.Folder(), at.Name(), flags);
}

}  // namespace platform
