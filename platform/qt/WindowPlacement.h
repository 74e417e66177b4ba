#pragma once

class QWidget;

// Places a top-level window in the middle of the screen it will appear on.
void centerOnScreen(QWidget* window);

// Places a window beside `anchor`: to its right where the screen has room, else to its left,
// else as far to the right as the screen allows; top edges level where they can be.
void placeBeside(QWidget* window, const QWidget* anchor);
