#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_listing.h"

namespace search {

// One found file. Its name and its folder's path live in the owning FileTable's text store; the
// table puts them together into the full path (FileTable::PathOf).
struct FileEntry {
    std::string_view Name;            // the separator, then the file name
    std::int64_t Size = -1;           // -1 marks a sentinel: a slot that holds no file
    platform::FileIdentity Identity;  // which file this is, from the walk
    std::int32_t Folder = 0;          // index of the file's folder in the table
    std::int32_t NameKeyLength = 0;   // compare mode 1: length of Name without its extension
    std::int32_t Order = 0;           // walk order; breaks ties so that every sort is stable
    std::int32_t Signature = 0;       // BlockSignature of the first block; 0 = not computed yet
    std::int32_t Group = 0;           // match group within this search; 0 = matched nothing
    std::int32_t Posted = 0;  // 2 once the file's group has been written to the result table

    bool IsSentinel() const { return Size == -1; }
    // Name without its extension (compare mode 1 only).
    std::string_view NameKey() const {
        return Name.substr(0, static_cast<std::size_t>(NameKeyLength));
    }
};

// The growable table of found files that one search job owns. At least 5 sentinel slots follow
// the last file at all times, so that every scan that runs past the last file meets one. Slots
// never move when the table grows, and paths are packed into a text store of large blocks, so a
// table of many files costs little more than the files' own bytes.
//
// The capacity grows in steps of kGrowthStep, but only the files and the 5 sentinels behind the
// last one take memory: a search of a few files does not pay for a thousand slots.
class FileTable {
  public:
    static constexpr int kGrowthStep = 1024;
    using Slots = std::deque<FileEntry>;

    // Starts an empty table of kGrowthStep slots; false when there is no memory.
    bool Create();

    // True when fewer than 5 free slots would remain after one more file.
    bool NeedsGrowth() const { return m_count + kSentinelsBehind >= Capacity(); }

    // Adds kGrowthStep slots to the capacity.
    void Grow() { m_capacity += kGrowthStep; }

    // Keeps a folder's path (without a final separator; the root is empty) for the files in it.
    int AddFolder(std::string_view folder);

    // Fills the next free slot with a file named `name` in folder `folder` (from AddFolder).
    // Grow() first when NeedsGrowth(). Throws std::bad_alloc when there is no memory.
    FileEntry& Append(int folder, std::string_view name, std::int64_t size,
                      const platform::FileIdentity& identity);

    // The full path of a file: its folder, the separator and its name.
    std::string PathOf(const FileEntry& entry) const;
    // The folder part of the path, with its final separator.
    std::string FolderOf(const FileEntry& entry) const;

    // Releases every slot and text; Capacity() becomes 0.
    void Release();

    int Capacity() const { return m_capacity; }
    int Count() const { return m_count; }
    // The slots that exist: the files and the 5 sentinels behind them. Only these may be indexed.
    int SlotsInMemory() const { return static_cast<int>(m_slots.size()); }
    FileEntry& operator[](int index) { return m_slots[static_cast<std::size_t>(index)]; }
    const FileEntry& operator[](int index) const {
        return m_slots[static_cast<std::size_t>(index)];
    }
    Slots::iterator Begin() { return m_slots.begin(); }

    // Index of the first sentinel.
    int FirstSentinel() const;

    int WorkLength = 0;  // leading slots that the next sort and pass cover

  private:
    // Text blocks grow from the first size to the largest, so a small search stays small.
    static constexpr std::size_t kFirstTextBlock = 16 * 1024;
    static constexpr std::size_t kLargestTextBlock = 256 * 1024;
    static constexpr int kSentinelsBehind = 5;

    std::string_view StoreText(std::string_view prefix, std::string_view text);
    void AddSentinels(int count);

    Slots m_slots;
    int m_capacity = 0;
    int m_count = 0;
    std::vector<std::string_view> m_folders;
    std::vector<std::unique_ptr<char[]>> m_textBlocks;
    std::size_t m_textBlockSize = 0;  // size of the last block
    std::size_t m_textUsed = 0;       // bytes used in the last block
};

}  // namespace search
