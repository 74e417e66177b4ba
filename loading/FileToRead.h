#pragma once

#include <string>

#include "platform/Prompts.h"

// The choice of a file to read: runs the open dialog until it gives an existing regular file
// or is cancelled, leaving the chosen path in `fileName`, or empty. A pipe or a device is
// refused, since reading it could wait for ever.
void chooseFileToRead(Prompts& prompts, FileDialogSettings& openDialog, std::string& fileName);
