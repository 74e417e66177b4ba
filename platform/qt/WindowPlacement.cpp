#include "platform/qt/WindowPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr int Gap = 8;

int clampedStart(int start, int length, int roomStart, int roomLength) {
    return std::clamp(start, roomStart, std::max(roomStart, roomStart + roomLength - length));
}

// The window at `size` on one free side of the anchor, if the side holds it.
std::optional<QRect> onFreeSide(const QRect& room, const QRect& anchor, const QSize& size) {
    const int right = room.right() - anchor.right() - Gap;
    const int left = anchor.left() - room.left() - Gap;
    const int below = room.bottom() - anchor.bottom() - Gap;
    const int top = clampedStart(anchor.top(), size.height(), room.top(), room.height());
    if (size.height() <= room.height()) {
        if (size.width() <= right) {
            return QRect(QPoint(anchor.right() + 1 + Gap, top), size);
        }
        if (size.width() <= left) {
            return QRect(QPoint(anchor.left() - Gap - size.width(), top), size);
        }
    }
    if (size.height() <= below && size.width() <= room.width()) {
        const int x = clampedStart(anchor.left(), size.width(), room.left(), room.width());
        return QRect(QPoint(x, anchor.bottom() + 1 + Gap), size);
    }
    return std::nullopt;
}

struct Arrangement {
    QRect window;
    QRect anchor;
};

// The window, at most `size`, on the largest part of the screen beside, above or below
// `keepClear`.
QRect clearOf(const QRect& room, const QRect& window, const QSize& size, const QRect& keepClear) {
    const QRect field = keepClear.adjusted(-Gap, -Gap, Gap, Gap);
    const int height = std::min(size.height(), room.height());
    const int width = std::min(size.width(), room.width());
    const int top = clampedStart(window.top(), height, room.top(), room.height());
    const int left = clampedStart(window.left(), width, room.left(), room.width());
    const std::array<QRect, 4> places{
        // Right of the field, against the screen's right edge.
        QRect(QPoint(std::max(field.right() + 1, room.right() + 1 - width), top),
              QPoint(room.right(), top + height - 1)),
        // Left of it, against the left edge.
        QRect(QPoint(room.left(), top),
              QPoint(std::min(field.left() - 1, room.left() + width - 1), top + height - 1)),
        // Below it, against the bottom edge.
        QRect(QPoint(left, std::max(field.bottom() + 1, room.bottom() + 1 - height)),
              QPoint(left + width - 1, room.bottom())),
        // Above it, against the top edge.
        QRect(QPoint(left, room.top()),
              QPoint(left + width - 1, std::min(field.top() - 1, room.top() + height - 1)))};
    QRect best;
    for (const QRect& place : places) {
        if (place.isValid() && place.width() * place.height() > best.width() * best.height()) {
            best = place;
        }
    }
    return best.isValid() ? best : window;
}

// Frames in the screen's device-independent pixels, as placeBeside says.
Arrangement arrangeBeside(const QRect& room, const QRect& anchor, const QSize& preferred,
                          const QSize& smallest, const QRect& keepClear) {
    // Never larger than the screen: a window below its smallest useful size scrolls.
    const QSize wanted = preferred.expandedTo(smallest).boundedTo(room.size());
    for (const QSize& size : {wanted, smallest}) {
        if (const auto window = onFreeSide(room, anchor, size)) {
            return {*window, anchor};
        }
    }
    // Side by side, the anchor moved no further than it must: the window takes the side
    // with more room, at the width left beside the anchor, at least its smallest.
    const int width = std::min(
        room.width(),
        std::max(smallest.width(), std::min(wanted.width(), room.width() - anchor.width() - Gap)));
    const bool onRight = room.right() - anchor.right() >= anchor.left() - room.left();
    QRect moved = anchor;
    QRect window(QPoint(), QSize(width, wanted.height()));
    window.moveTop(clampedStart(anchor.top(), window.height(), room.top(), room.height()));
    if (onRight) {
        moved.moveLeft(std::max(
            room.left(), std::min(anchor.left(), room.right() + 1 - width - Gap - anchor.width())));
        window.moveLeft(std::min(moved.right() + 1 + Gap, room.right() + 1 - width));
    } else {
        moved.moveLeft(std::min(room.right() + 1 - anchor.width(),
                                std::max(anchor.left(), room.left() + width + Gap)));
        window.moveLeft(std::max(room.left(), moved.left() - Gap - width));
    }
    const QRect field = keepClear.translated(moved.topLeft() - anchor.topLeft());
    if (window.intersects(field)) {
        return {clearOf(room, window, wanted, field), moved};
    }
    return {window, moved};
}

QRect globalRect(const QWidget* widget) {
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// The frame the desktop adds around a window, known only once a window has been shown; a
// window not shown yet gets the one its anchor has.
QMargins frameMargins(const QWidget* window, const QWidget* anchor) {
    const QWidget* shown = window->isVisible() ? window : anchor;
    const QRect frame = shown->frameGeometry();
    const QRect inner = shown->geometry();
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                    frame.right() - inner.right(), frame.bottom() - inner.bottom());
}

}  // namespace

void centerOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void placeBeside(QWidget* window, QWidget* anchor, const QSize& preferred, const QSize& smallest) {
    const QScreen* screen = anchor->screen();
    if (!screen) {
        return;
    }
    const QMargins margins = frameMargins(window, anchor);
    const QSize frame(margins.left() + margins.right(), margins.top() + margins.bottom());
    const QWidget* field = QApplication::focusWidget();
    const QRect keepClear = field && field->window() == anchor ? globalRect(field) : QRect();
    const Arrangement arrangement =
        arrangeBeside(screen->availableGeometry(), anchor->frameGeometry(), preferred + frame,
                      smallest + frame, keepClear);
    anchor->move(arrangement.anchor.topLeft());
    window->setGeometry(arrangement.window.marginsRemoved(margins));
}

void keepClearOf(QWidget* window, const QWidget* field, const QSize& preferred) {
    const QScreen* screen = window->screen();
    const QRect frame = window->frameGeometry();
    if (!screen || !frame.intersects(globalRect(field))) {
        return;
    }
    const QMargins margins = frameMargins(window, window);
    const QSize size =
        preferred + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
    window->setGeometry(clearOf(screen->availableGeometry(), frame, size, globalRect(field))
                            .marginsRemoved(margins));
}
