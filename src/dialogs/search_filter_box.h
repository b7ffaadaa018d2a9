#pragma once

#include <QGroupBox>
#include <cstdint>
#include <utility>

#include "func/settings.h"

class EntryListEditor;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

// The options dialog's search filters: size limits, whether empty and hidden files are searched,
// and the folders and name patterns to leave out. The pattern list is edited like the
// must-not-delete list: typed into ExcludeText and added with Enter, edited in place (an entry
// edited to nothing goes), sorted, without blank or repeated entries once tidied.
class SearchFilterBox : public QGroupBox {
    Q_OBJECT

  public:
    explicit SearchFilterBox(QWidget* parent = nullptr);

    // Shows `filter`.
    void SetFilter(const func::SearchFilterSettings& filter);
    // The filter shown, the pattern list tidied.
    func::SearchFilterSettings Filter() const;
    // False while the minimum size is above the maximum: such a filter would search nothing.
    bool IsValid() const;

    QLineEdit* MinSizeText;
    QComboBox* MinSizeUnit;
    QLineEdit* MaxSizeText;
    QComboBox* MaxSizeUnit;
    QCheckBox* EmptyFilesCheck;
    QCheckBox* HiddenFilesCheck;
    QLineEdit* ExcludeText;
    QTreeWidget* ExcludeList;
    QLabel* SizeProblem;

  signals:
    void ValidityChanged(bool valid);

  private:
    void SizeChanged();

    EntryListEditor* m_excludeEditor;
};

// The size that a number text and a unit item (バイト, KB, MB, GB: powers of 1024) stand for;
// `none` for an empty text, and for a size beyond 63 bits.
std::int64_t SizeOf(const QString& number, int unitItem, std::int64_t none);
// A size as a number text and the largest unit item that divides it; an empty text for `none`.
std::pair<QString, int> SizeText(std::int64_t size, std::int64_t none);
