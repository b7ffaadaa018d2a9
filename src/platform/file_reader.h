#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include "platform/file_stamp.h"
#include "platform/folder_listing.h"

namespace platform {

// One regular file opened for reading. Opening never blocks (a FIFO that took a file's place is
// refused) and never follows a final symbolic link.
class FileReader {
  public:
    FileReader() = default;
    explicit FileReader(const char* path);
    explicit FileReader(const std::string& path) : FileReader(path.c_str()) {}
    ~FileReader();
    FileReader(FileReader&& other) noexcept;
    FileReader& operator=(FileReader&& other) noexcept;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool IsOpen() const { return m_handle >= 0; }
    // The system's error of the failed open or of the last failed read; empty when the open
    // failed because the path is not a regular file.
    std::error_code Error() const { return m_error; }
    // The file's size when it was opened.
    std::int64_t Size() const { return m_version.Size; }
    // Which file was opened.
    FileIdentity Identity() const { return m_version.Identity; }
    // The file as it was when it was opened: a later stamp that differs tells of a change.
    const FileStamp& Stamp() const { return m_version; }

    // Tells the system that the file will be read from start to end, so that it reads ahead in
    // larger steps.
    void AdviseSequential() const;

    // Reads up to `size` bytes from `offset`, retrying short reads, so that fewer bytes than asked
    // mean the end of the file. Returns the number of bytes read, or -1 on a read error.
    std::int64_t ReadAt(std::int64_t offset, unsigned char* buffer, std::size_t size) const;

  private:
    void Close();

    // The system's handle of the open file; negative when none is open.
    std::intptr_t m_handle = -1;
    FileStamp m_version;
    mutable std::error_code m_error;
};

}  // namespace platform
