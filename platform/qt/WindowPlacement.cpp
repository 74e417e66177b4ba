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
    window->resize(
        window->size().boundedTo(room.size() - frame).expandedTo(window->minimumSizeHint()));
    const QSize size = window->size() + frame;
    const int right = beside.right() + 1 + Gap;
    const int left = beside.left() - Gap - size.width();
    int x = right;
    if (right + size.width() > room.right() + 1) {
        // Where neither side has room, the window covers as little of the anchor as it can.
        const bool leftFits = left >= room.left();
        const bool moreRoomLeft = beside.left() - room.left() > room.right() - beside.right();
        x = leftFits ? left : moreRoomLeft ? room.left() : room.right() + 1 - size.width();
    }
    const int y = std::clamp(beside.top(), room.top(),
                             std::max(room.top(), room.bottom() + 1 - size.height()));
    window->move(x, y);
}
