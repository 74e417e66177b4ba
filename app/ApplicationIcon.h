#pragma once

#include <QIcon>

// The installed icon's artwork at each size it is installed at, so title and task bars
// never scale it themselves.
QIcon applicationIcon();
