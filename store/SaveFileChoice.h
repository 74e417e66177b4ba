#pragma once

#include <string>

#include "platform/Prompts.h"

// The choice of a file to write, shared by every writer of a distance file: ask whether to
// save, run the save dialog, and ask before replacing an existing file. Leaves the chosen
// full path in `fileName`, or empty when nothing is to be written.
void chooseFileToWrite(Prompts& prompts, FileDialogSettings& saveDialog, std::string& fileName);
