#include "platform/folder_listing.h"
#include "search/Search_func.h"
#include "search/search.h"

namespace search {

void SFileSearch::CountTopLevel(const std::string& folder) {
    const int count = platform::CountFolderEntries(folder);
    m_progress.Total = count < 0 ? 1 : count;
}

void SFileSearch::WalkFolder(const std::string& folder) {
    StatusText = folder;
    const std::string base = FolderBase(folder, *m_codePage);
    Phase = kPhaseWalk;
    ++Depth;
    // The listing is read whole and closed before the subfolders are walked, so a deep tree
    // holds no descriptors open.
    const platform::FolderListing listing = platform::ListFolder(folder);
    int folderIndex = -1;  // kept in the file table with its first file
    for (const platform::FolderEntry& entry : listing.Entries) {
        if (m_signal->StopRequested()) {
            break;
        }
        if (entry.Kind == platform::EntryKind::Dot) {
            continue;
        }
        std::string path = base + entry.Name;
        if (entry.Kind == platform::EntryKind::Folder) {
            if (!m_trashFolders.IsTrash(path, entry.Name, entry.Identity)) {
                WalkFolder(path);
            }
        } else if (entry.Kind == platform::EntryKind::File) {
            if (folderIndex < 0) {
                folderIndex = m_table.AddFolder(std::string_view(base).substr(0, base.size() - 1));
            }
            AddEntry(folderIndex, entry.Name, entry.Size, entry.Identity);
        }
        if (m_table.Capacity() == 0) {
            break;
        }
        if (Depth == 1) {
            ++m_progress.Position;
        }
        StatusText = std::move(path);
        RequestStatusUpdate();
    }
    if (m_table.Capacity() != 0) {
        --Depth;
    }
}

void SFileSearch::AddEntry(int folder, const std::string& name, std::int64_t size,
                           const platform::FileIdentity& identity) {
    if (m_table.NeedsGrowth()) {
        if (!Allowed(AllocationSite::FileTableGrowth)) {
            m_table.Release();
            OutOfMemory();
            return;
        }
        m_table.Grow();
    }
    FileEntry& entry = m_table.Append(folder, name, size, identity);
    m_progress.FilesSeen.fetch_add(1, std::memory_order_relaxed);
    if (Mode == kCompareStem) {
        entry.NameKeyLength = static_cast<std::int32_t>(NameKeyOf(entry.Name, *m_codePage).size());
    }
}

}  // namespace search
