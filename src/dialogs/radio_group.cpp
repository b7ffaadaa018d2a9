#include "dialogs/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), m_buttons(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_buttons->addButton(button, i);
        layout->addWidget(button);
    }
}

int RadioGroup::ItemIndex() const {
    return m_buttons->checkedId();
}

void RadioGroup::SetItemIndex(int index) {
    index = std::clamp(index, -1, Count() - 1);
    if (index < 0) {
        // An exclusive group never lets its last checked button go.
        m_buttons->setExclusive(false);
        for (QAbstractButton* button : m_buttons->buttons()) {
            button->setChecked(false);
        }
        m_buttons->setExclusive(true);
        return;
    }
    m_buttons->button(index)->setChecked(true);
}

QRadioButton* RadioGroup::Item(int index) const {
    return static_cast<QRadioButton*>(m_buttons->button(index));
}

int RadioGroup::Count() const {
    return static_cast<int>(m_buttons->buttons().size());
}
