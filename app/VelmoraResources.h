#pragma once

#include <QIcon>

// Registers the logo and icon, which live in a static library and would otherwise be
// dropped by the linker. Safe to call more than once.
void initVelmoraResources();

// The installed icon's artwork at each size it is installed at, so title and task bars
// never scale it themselves.
QIcon applicationIcon();
