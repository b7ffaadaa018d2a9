#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

// Edits a list of text entries, one row each, the way the must-not-delete list is edited: a text
// typed into `addText` is added with Enter, a row is edited in place, and when the focus leaves
// the list it is tidied (sorted in the locale's order, blank and repeated entries removed; an
// entry edited to nothing is thus gone). Text with line breaks becomes one entry per line. Each
// entry is kept as bytes in the file system's encoding, after `fold` (upper-casing, say).
class EntryListEditor : public QObject {
    Q_OBJECT

  public:
    using Fold = std::function<std::string(std::string)>;

    EntryListEditor(QLineEdit& addText, QTreeWidget& list, Fold fold, QObject* parent);

    // Adds the text of `addText`, tidies the list and empties `addText`.
    void Add();
    // Takes the text that an in-place edit of `row` left: folded; the first line stays in the
    // row, further lines become rows of their own. Nothing is tidied yet.
    void Edited(QTreeWidgetItem* row);
    void Tidy();

    // The entries in list order.
    std::vector<std::string> Entries() const;
    // Shows `entries`, as they are.
    void SetEntries(const std::vector<std::string>& entries);

  private:
    std::string FoldedText(const QString& text) const;

    QLineEdit& m_addText;
    QTreeWidget& m_list;
    Fold m_fold;
};
