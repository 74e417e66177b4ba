#pragma once

class QWidget;

// Screen readers announce the program's windows as windows, or as dialogs where marked so,
// rather than as the plain filler area a bare widget is taken for. Install once, before the
// windows are shown.
void installWindowRoles();
void announceAsDialog(QWidget* window);
