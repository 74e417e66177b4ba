#pragma once

class QSize;
class QWidget;

// Places a top-level window in the middle of the screen it will appear on.
void centerOnScreen(QWidget* window);

// Places `window` beside `anchor` on the anchor's screen, never over it where the screen
// holds both: first on a free side of the screen (right, left, below) at the window's
// preferred size, then at its smallest useful size; else side by side with the anchor moved
// toward the other edge, as a tiling desktop would. Only where the screen is too small for
// both does the window overlap the anchor, and never over the anchor's field with the
// keyboard; it keeps to the screen, scrolling below its smallest useful size. The sizes are
// the window's without its frame.
void placeBeside(QWidget* window, QWidget* anchor, const QSize& preferred, const QSize& smallest);

// Moves `window`, at most `preferred` in size, off `field` when it covers it: to the largest
// part of the screen beside, above or below the field.
void keepClearOf(QWidget* window, const QWidget* field, const QSize& preferred);
