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
    // A subfolder that vanished since its parent was listed is simply gone.
    if (listing.Error && (Depth == 1 || listing.Error != std::errc::no_such_file_or_directory)) {
        ReportSkipped({folder, SkipReason::FolderUnreadable, listing.Error});
    }
    // A folder reached again under another name (a symbolic link given as a target, a bind
    // mount, a target given twice) is the same folder: its files are found once.
    if (listing.Identity != platform::FileIdentity{} &&
        !m_walkedFolders.insert(listing.Identity).second) {
        --Depth;
        return;
    }
    int folderIndex = -1;  // kept in the file table with its first file
    for (const platform::FolderEntry& entry : listing.Entries) {
        if (m_signal->StopRequested()) {
            break;
        }
        if (entry.Kind == platform::EntryKind::Dot) {
            continue;
        }
        std::string path = base + entry.Name;
        // What the user chose to leave out is neither walked nor named as skipped.
        const bool leftOut = m_filter.LeavesOutName(entry.Name, path);
        if (entry.Error && entry.Error != std::errc::no_such_file_or_directory && !leftOut) {
            // An entry that vanished since the listing is simply gone; any other failure means
            // a file or folder that is there but could not be looked at.
            ReportSkipped({path, SkipReason::EntryUnreadable, entry.Error});
        }
        if (entry.Kind == platform::EntryKind::Folder) {
            if (!leftOut && !m_trashFolders.IsTrash(path, entry.Name, entry.Identity)) {
                WalkFolder(path);
            }
        } else if (entry.Kind == platform::EntryKind::File && !leftOut &&
                   !m_filter.LeavesOutSize(entry.Size)) {
            if (folderIndex < 0) {
                folderIndex = m_table.AddFolder(std::string_view(base).substr(0, base.size() - 1));
            }
            AddEntry(folderIndex, entry);
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

void SFileSearch::AddEntry(int folder, const platform::FolderEntry& file) {
    // In the content mode a file with several names is one file, found under the first name
    // that the walk meets; the name modes keep every name.
    if (Mode == kCompareContent && file.Links > 1 && !m_linkedFiles.insert(file.Identity).second) {
        return;
    }
    if (m_table.NeedsGrowth()) {
        if (!Allowed(AllocationSite::FileTableGrowth)) {
            m_table.Release();
            OutOfMemory();
            return;
        }
        m_table.Grow();
    }
    FileEntry& entry = m_table.Append(folder, file.Name, file.Size, file.Identity);
    m_progress.FilesSeen.fetch_add(1, std::memory_order_relaxed);
    if (Mode == kCompareStem) {
        entry.NameKeyLength = static_cast<std::int32_t>(NameKeyOf(entry.Name, *m_codePage).size());
    }
}

}  // namespace search
