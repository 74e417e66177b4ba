#include "loading/RadioGroup.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>

RadioGroup::RadioGroup(QGroupBox* box, const QList<QRadioButton*>& items)
    : QObject(box), m_items(items), m_group(new QButtonGroup(this)) {
    for (qsizetype i = 0; i < items.size(); ++i) {
        m_group->addButton(items[i], static_cast<int>(i));
    }
    // Only a change of the chosen item counts, as for a classic radio group: clicking the
    // item that is already chosen runs nothing.
    connect(m_group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            emit clicked();
        }
    });
}

int RadioGroup::itemIndex() const {
    return m_group->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (index < 0) {
        // An exclusive group keeps one item checked; lift that for the moment of clearing.
        m_group->setExclusive(false);
        for (QRadioButton* item : m_items) {
            item->setChecked(false);
        }
        m_group->setExclusive(true);
        return;
    }
    m_items.at(index)->setChecked(true);
}
