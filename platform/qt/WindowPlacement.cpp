#include "platform/qt/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

void centerOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void placeBeside(QWidget* window, const QWidget* anchor) {
    const QScreen* screen = anchor->screen();
    if (!screen) {
        return;
    }
    constexpr int Gap = 8;
    const QRect room = screen->availableGeometry();
    const QRect beside = anchor->frameGeometry();
    // The frame the window manager adds, known only once a window has been shown.
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    QSize size = window->size().boundedTo(room.size() - frame);
    window->resize(size);
    size += frame;
    int x = beside.right() + 1 + Gap;
    if (x + size.width() > room.right() + 1) {
        x = beside.left() - Gap - size.width();
        if (x < room.left()) {
            x = room.right() + 1 - size.width();
        }
    }
    const int y = std::clamp(beside.top(), room.top(),
                             std::max(room.top(), room.bottom() + 1 - size.height()));
    window->move(x, y);
}
