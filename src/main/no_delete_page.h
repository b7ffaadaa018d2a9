#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

class EntryListEditor;
class QFrame;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The must-not-delete page: the entries that the bulk delete never deletes, one row each, and a
// box to type a new one into. Entries are held upper-cased, whether typed, edited or set; the list
// is tidied (sorted, blank and repeated entries removed) when the focus leaves it.
class NoDeletePage : public QWidget {
    Q_OBJECT

  public:
    explicit NoDeletePage(QWidget* parent);

    // Adds the typed text as an entry (one per line) and empties the box.
    void AddTyped();
    // Takes the text that an in-place edit left in `row`.
    void Edited(QTreeWidgetItem* row);
    // Sorts the list and removes blank and repeated entries.
    void Tidy();
    // The entries in list order, as bytes.
    std::vector<std::string> Entries() const;
    // Shows `entries` as they are, untidied.
    void SetEntries(const std::vector<std::string>& entries);
    // The first entry that protects the file at `path` (bytes); none when the file may go.
    std::optional<std::string> ProtectingEntry(const std::string& path) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QFrame* AddPanel;
    QLabel* Label1;
    QLineEdit* AddText;
    QTreeWidget* NoDelList;
    EntryListEditor* m_editor;
};
