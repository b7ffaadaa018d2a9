#include "search/file_table.h"

#include <new>

namespace search {

bool FileTable::Create() {
    try {
        m_entries.assign(kGrowthStep, FileEntry{});
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_count = 0;
    WorkLength = 0;
    return true;
}

bool FileTable::Grow() {
    try {
        m_entries.resize(m_entries.size() + kGrowthStep);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void FileTable::Append(FileEntry entry) {
    m_entries[static_cast<std::size_t>(m_count)] = std::move(entry);
    ++m_count;
    ++WorkLength;
}

void FileTable::Release() {
    std::vector<FileEntry>().swap(m_entries);
    m_count = 0;
    WorkLength = 0;
}

int FileTable::FirstSentinel() const {
    int index = 0;
    while (index < Capacity() - 1 && !m_entries[static_cast<std::size_t>(index)].IsSentinel()) {
        ++index;
    }
    return index;
}

}  // namespace search
