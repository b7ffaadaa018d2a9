#include "platform/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/file_stamp_posix.h"
#include "platform/posix/path_at.h"

namespace platform {

FileReader::FileReader(const char* path) {
    // O_NONBLOCK keeps a FIFO that took the file's place since the walk from blocking the open;
    // it changes nothing for a regular file.
    m_handle = OpenAnyLength(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (m_handle < 0) {
        m_error = std::error_code(errno, std::generic_category());
        return;
    }
    struct stat st {};
    if (fstat(static_cast<int>(m_handle), &st) != 0) {
        m_error = std::error_code(errno, std::generic_category());
        Close();
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        Close();
        return;
    }
    m_version = StampOf(st);
}

void FileReader::Close() {
    if (m_handle >= 0) {
        close(static_cast<int>(m_handle));
        m_handle = -1;
    }
}

void FileReader::AdviseSequential() const {
    if (m_handle >= 0) {
        posix_fadvise(static_cast<int>(m_handle), 0, 0, POSIX_FADV_SEQUENTIAL);
    }
}

std::int64_t FileReader::ReadAt(std::int64_t offset, unsigned char* buffer,
                                std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = pread(static_cast<int>(m_handle), buffer + done, size - done,
                                  offset + static_cast<off_t>(done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            m_error = std::error_code(errno, std::generic_category());
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

}  // namespace platform
