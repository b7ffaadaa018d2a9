#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A framed group of radio buttons in one column whose choice is an item index; -1 is no choice.
class RadioGroup : public QGroupBox {
    Q_OBJECT

  public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    int ItemIndex() const;
    // Below -1 gives -1 (no item), at or above the item count the last item.
    void SetItemIndex(int index);

    QRadioButton* Item(int index) const;
    int Count() const;

  private:
    QButtonGroup* m_buttons;
};
