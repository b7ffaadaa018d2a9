#pragma once

#include <QListWidget>
#include <string>

// A folder tree list: one line per level from the root down to the open folder, then the open
// folder's subfolders in sorted order. Double-clicking a line (or Enter on it) opens that folder.
// Paths are kept as the file system's bytes; the lines show them decoded.
class FolderListBox : public QListWidget {
    Q_OBJECT

  public:
    explicit FolderListBox(QWidget* parent = nullptr);

    // The open folder, without a final "/" unless it is the root.
    const std::string& Folder() const { return m_folder; }

    // Opens `folder` (absolute) and lists it again; emits FolderChanged.
    void SetFolder(const std::string& folder);

    // Lists the open folder again, so that folders made or removed since are shown.
    void Rebuild();

  signals:
    void FolderChanged();

  private:
    void OpenLine(QListWidgetItem* item);

    std::string m_folder;
};
