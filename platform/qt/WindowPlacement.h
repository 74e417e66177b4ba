#pragma once

class QWidget;

// Places a top-level window in the middle of the screen it will appear on.
void centerOnScreen(QWidget* window);

// Places a window beside `anchor`: to its right where the screen has room, else to its left,
// else against the screen's edge on the side with more room; top edges level where they can
// be. The window keeps to the screen, but never below its own minimum size.
void placeBeside(QWidget* window, const QWidget* anchor);
