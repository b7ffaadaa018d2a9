// The reader's ownership of its open file, the same on every system; the system's own half opens,
// reads and closes it.

#include "platform/file_reader.h"

#include <utility>

namespace platform {

FileReader::~FileReader() {
    Close();
}

FileReader::FileReader(FileReader&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)),
      m_version(other.m_version),
      m_error(other.m_error) {}

FileReader& FileReader::operator=(FileReader&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, -1);
        m_version = other.m_version;
        m_error = other.m_error;
    }
    return *this;
}

}  // namespace platform
