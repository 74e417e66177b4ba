#pragma once

#include <string>

#include "platform/Prompts.h"

// The choice of a file to write, shared by every writer of a distance file: ask whether to
// save, run the save dialog, and ask before replacing an existing file; after No to
// replacing, ask again from the start. Leaves the chosen full path in `fileName`, or empty
// when nothing is to be written.
void chooseFileToWrite(Prompts& prompts, FileDialogSettings& saveDialog, std::string& fileName);

// The same choice where saving was asked for already (a button such as "Save as..."): the
// save dialog, shown again after No to replacing. The chosen full path, or empty when the
// dialog was cancelled.
std::string chooseFileToSave(Prompts& prompts, FileDialogSettings& saveDialog);
