#include "platform/qt/EventTrace.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QShortcutEvent>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

namespace {

// The trace being written, if any.
EventTrace* active = nullptr;

}  // namespace

std::unique_ptr<EventTrace> EventTrace::fromEnvironment() {
    const char* path = std::getenv("VELMORA_EVENT_TRACE");
    if (path == nullptr || *path == '\0') {
        return nullptr;
    }
    std::FILE* file = std::fopen(path, "ab");
    if (file == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<EventTrace>(new EventTrace(file));
}

EventTrace::EventTrace(std::FILE* file) : m_file(file) {
    m_clock.start();
    active = this;
}

EventTrace::~EventTrace() {
    active = nullptr;
    std::fclose(m_file);
}

void EventTrace::note(const char* what, const QString& detail) {
    if (active) {
        active->record(what, detail);
    }
}

void EventTrace::record(const char* what, const QString& detail) {
    QString flat = detail;
    flat.replace(QLatin1Char('\n'), QLatin1String(" / "));
    const QByteArray line =
        QByteArray::number(m_clock.nsecsElapsed() / 1000) + ' ' + what + ' ' + flat.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), m_file);
    std::fflush(m_file);
}

bool EventTrace::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress && watched->isWindowType()) {
        // The window gets a key before the widget with the focus: its arrival is the moment.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QWidget* focus = QApplication::focusWidget();
        record("key", QKeySequence(key->keyCombination()).toString(QKeySequence::PortableText) +
                          QLatin1Char(' ') + (focus ? focus->objectName() : QString()));
    } else if (type == QEvent::Shortcut) {
        // A mnemonic or shortcut reaches its control without a key press.
        record("shortcut",
               static_cast<QShortcutEvent*>(event)->key().toString(QKeySequence::PortableText) +
                   QLatin1Char(' ') + watched->objectName());
    } else if (type == QEvent::Expose && watched->isWindowType() &&
               static_cast<QWindow*>(watched)->isExposed()) {
        record("expose", static_cast<QWindow*>(watched)->title());
    } else if (auto* widget = qobject_cast<QWidget*>(watched)) {
        auto* button = qobject_cast<QAbstractButton*>(widget);
        // A press ends in a click when the mouse or the space bar is let go, or when the
        // animation a mnemonic starts runs out.
        const bool spaceReleased =
            type == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
        if (button && button->isDown() &&
            (type == QEvent::MouseButtonRelease || spaceReleased || type == QEvent::Timer)) {
            record("click", button->objectName());
        } else if (type == QEvent::Show && widget->isWindow()) {
            const auto* box = qobject_cast<QMessageBox*>(widget);
            record("show", box ? box->text() : widget->windowTitle());
        }
    }
    return false;
}
