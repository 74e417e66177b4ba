#pragma once

#include <QList>
#include <QObject>

class QButtonGroup;
class QGroupBox;
class QRadioButton;

// A group box of radio items with an item index: -1 for none. Choosing another item, by the
// user or by setItemIndex, emits clicked; clearing the choice emits nothing.
class RadioGroup : public QObject {
    Q_OBJECT
public:
    RadioGroup(QGroupBox* box, const QList<QRadioButton*>& items);

    int itemIndex() const;
    void setItemIndex(int index);

signals:
    void clicked();

private:
    QList<QRadioButton*> m_items;
    QButtonGroup* m_group;
};
