#include "store/SaveFileChoice.h"

#include "platform/FileExists.h"

void chooseFileToWrite(Prompts& prompts, FileDialogSettings& saveDialog, std::string& fileName) {
    fileName.clear();
    while (true) {
        if (prompts.messageBox(BoxType::Confirm, "Do you want to save distances?",
                               Buttons::YesNo) == Answer::Yes) {
            if (prompts.runSaveDialog(saveDialog)) {
                fileName = saveDialog.fileName;
            }
        } else {
            fileName.clear();
        }
        if (fileName.empty() || !fileExists(fileName)) {
            return;
        }
        if (prompts.messageBox(BoxType::Confirm,
                               "File [" + fileName + "] exists.... Do you want to replace it?",
                               Buttons::YesNo) == Answer::Yes) {
            return;
        }
    }
}
