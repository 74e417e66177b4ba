#pragma once

class QWidget;

// Draws the window's focus from each moment it is shown: the toolkit otherwise draws a
// focused control as focused only once the user has moved the keyboard with Tab.
void showFocusFromTheStart(QWidget* window);

// Frames a control while it has the keyboard, for a control the style draws no focus on (a
// scroll bar).
void frameWhileFocused(QWidget* control);
