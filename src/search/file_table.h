#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/folder_listing.h"

namespace search {

// One file that the walk found.
struct FileEntry {
    std::string Path;            // folder, separator, file name
    std::string NameKey;         // compare mode 1 only: Path without its extension
    std::int64_t Size = -1;      // -1 marks a sentinel: a slot that holds no file
    std::int32_t Signature = 0;  // BlockSignature of the first block; 0 = not computed yet
    std::int32_t Group = 0;      // match group within this search; 0 = matched nothing
    std::int32_t Posted = 0;     // 2 once the file's group has been written to the result table
    platform::FileIdentity Identity;  // which file this is, from the walk

    bool IsSentinel() const { return Size == -1; }
};

// The growable array of found files that one search job owns. At least 5 sentinel slots follow
// the last file at all times, so that every scan that runs past the last file meets one.
class FileTable {
  public:
    static constexpr int kGrowthStep = 1024;

    // Allocates the first kGrowthStep slots; false when there is no memory for them.
    bool Create();

    // True when fewer than 5 free slots would remain after one more file.
    bool NeedsGrowth() const { return m_count + 5 >= Capacity(); }

    // Adds kGrowthStep sentinel slots, keeping the others in place; false when there is no memory.
    bool Grow();

    // Fills the next free slot. Grow() first when NeedsGrowth().
    void Append(FileEntry entry);

    // Releases every slot; Capacity() becomes 0.
    void Release();

    int Capacity() const { return static_cast<int>(m_entries.size()); }
    int Count() const { return m_count; }
    FileEntry& operator[](int index) { return m_entries[static_cast<std::size_t>(index)]; }
    const FileEntry& operator[](int index) const {
        return m_entries[static_cast<std::size_t>(index)];
    }
    std::vector<FileEntry>::iterator Begin() { return m_entries.begin(); }

    // Index of the first sentinel below Capacity() - 1; Capacity() - 1 when there is none.
    int FirstSentinel() const;

    int WorkLength = 0;  // leading slots that the next sort and pass cover

  private:
    std::vector<FileEntry> m_entries;
    int m_count = 0;
};

}  // namespace search
