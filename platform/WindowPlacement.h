#pragma once

#include <QFont>
#include <QString>

class QWidget;

// Places a top-level window in the middle of the screen it will appear on.
void centerOnScreen(QWidget* window);

// A font of the given family whose characters are `pixels` high.
QFont pixelFont(const QString& family, int pixels);
