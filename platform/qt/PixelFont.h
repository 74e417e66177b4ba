#pragma once

#include <QFont>
#include <QString>

// A font of the given family whose characters are `pixels` high.
QFont pixelFont(const QString& family, int pixels);
