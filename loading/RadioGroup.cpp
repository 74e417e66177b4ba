#include "loading/RadioGroup.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>

RadioGroup::RadioGroup(QGroupBox* box, const QList<QRadioButton*>& items)
    : QObject(box), m_box(box), m_items(items), m_group(new QButtonGroup(this)) {
    for (qsizetype i = 0; i < items.size(); ++i) {
        m_group->addButton(items[i], static_cast<int>(i));
    }
    connect(m_group, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
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
    emit clicked();
}
