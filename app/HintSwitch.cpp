#include "app/HintSwitch.h"

#include <QCoreApplication>
#include <QEvent>

HintSwitch::HintSwitch(QObject* parent) : QObject(parent) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool HintSwitch::eventFilter(QObject* watched, QEvent* event) {
    if (!m_shown && event->type() == QEvent::ToolTip) {
        return true;
    }
    return QObject::eventFilter(watched, event);
}
