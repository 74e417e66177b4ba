#include "platform/qt/FocusVisible.h"

#include <QEvent>
#include <QFocusFrame>
#include <QWidget>

namespace {

class FocusShownFromTheStart : public QObject {
public:
    explicit FocusShownFromTheStart(QWidget* window) : QObject(window) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            static_cast<QWidget*>(watched)->setAttribute(Qt::WA_KeyboardFocusChange);
        }
        return QObject::eventFilter(watched, event);
    }
};

class FocusFrameKeeper : public QObject {
public:
    explicit FocusFrameKeeper(QWidget* control)
        : QObject(control), m_frame(new QFocusFrame(control->parentWidget())) {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            m_frame->setWidget(static_cast<QWidget*>(watched));
        } else if (event->type() == QEvent::FocusOut) {
            m_frame->setWidget(nullptr);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QFocusFrame* m_frame;
};

}  // namespace

void showFocusFromTheStart(QWidget* window) {
    new FocusShownFromTheStart(window);
}

void frameWhileFocused(QWidget* control) {
    new FocusFrameKeeper(control);
}
