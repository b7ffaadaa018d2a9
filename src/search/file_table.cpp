#include "search/file_table.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace search {

void FileTable::AddSentinels(int count) {
    for (int i = 0; i < count; ++i) {
        FileEntry sentinel;
        sentinel.Order = SlotsInMemory();
        m_slots.push_back(sentinel);
    }
}

bool FileTable::Create() {
    Release();
    try {
        AddSentinels(kSentinelsBehind);
    } catch (const std::bad_alloc&) {
        Release();
        return false;
    }
    m_capacity = kGrowthStep;
    return true;
}

std::string_view FileTable::StoreText(std::string_view prefix, std::string_view text) {
    const std::size_t length = prefix.size() + text.size();
    const std::size_t needed = length + 1;
    if (m_textUsed + needed > m_textBlockSize) {
        // A text longer than a block gets a block of its own size.
        const std::size_t next = m_textBlockSize == 0
                                     ? kFirstTextBlock
                                     : std::min(m_textBlockSize * 2, kLargestTextBlock);
        m_textBlockSize = std::max(next, needed);
        m_textBlocks.push_back(std::make_unique<char[]>(m_textBlockSize));
        m_textUsed = 0;
    }
    char* place = m_textBlocks.back().get() + m_textUsed;
    prefix.copy(place, prefix.size());
    text.copy(place + prefix.size(), text.size());
    place[length] = '\0';
    m_textUsed += needed;
    return {place, length};
}

int FileTable::AddFolder(std::string_view folder) {
    m_folders.push_back(StoreText({}, folder));
    return static_cast<int>(m_folders.size()) - 1;
}

FileEntry& FileTable::Append(int folder, std::string_view name, std::int64_t size,
                             const platform::FileIdentity& identity) {
    AddSentinels(m_count + 1 + kSentinelsBehind - SlotsInMemory());
    FileEntry& entry = m_slots[static_cast<std::size_t>(m_count)];
    entry.Name = StoreText(std::string_view(&platform::kSeparator, 1), name);
    entry.Folder = folder;
    entry.NameKeyLength = static_cast<std::int32_t>(entry.Name.size());
    entry.Size = size;
    entry.Identity = identity;
    ++m_count;
    ++WorkLength;
    return entry;
}

std::string FileTable::PathOf(const FileEntry& entry) const {
    const std::string_view folder = m_folders[static_cast<std::size_t>(entry.Folder)];
    std::string path;
    path.reserve(folder.size() + entry.Name.size());
    path.append(folder).append(entry.Name);
    return path;
}

std::string FileTable::FolderOf(const FileEntry& entry) const {
    return std::string(m_folders[static_cast<std::size_t>(entry.Folder)]) + platform::kSeparator;
}

void FileTable::Release() {
    Slots().swap(m_slots);
    m_capacity = 0;
    std::vector<std::string_view>().swap(m_folders);
    m_textBlocks.clear();
    m_textBlockSize = 0;
    m_textUsed = 0;
    m_count = 0;
    WorkLength = 0;
}

int FileTable::FirstSentinel() const {
    int index = 0;
    while (index < SlotsInMemory() - 1 && !m_slots[static_cast<std::size_t>(index)].IsSentinel()) {
        ++index;
    }
    return index;
}

}  // namespace search
