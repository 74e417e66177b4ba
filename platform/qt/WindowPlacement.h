#pragma once

class QWidget;

// Places a top-level window in the middle of the screen it will appear on.
void centerOnScreen(QWidget* window);
