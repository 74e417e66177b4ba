#include "loading/FileToRead.h"

#include "platform/FileExists.h"

void chooseFileToRead(Prompts& prompts, FileDialogSettings& openDialog, std::string& fileName) {
    while (true) {
        openDialog.fileName.clear();
        fileName.clear();
        if (prompts.runOpenDialog(openDialog)) {
            fileName = openDialog.fileName;
        }
        if (fileName.empty()) {
            return;
        }
        if (!fileExists(fileName)) {
            prompts.messageBox(BoxType::Error,
                               "File [" + fileName + "] does not exist... Try again.", Buttons::Ok);
        } else if (!isRegularFile(fileName)) {
            prompts.messageBox(BoxType::Error,
                               "File [" + fileName + "] is not a regular file... Try again.",
                               Buttons::Ok);
        } else {
            return;
        }
    }
}
