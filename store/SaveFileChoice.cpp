#include "store/SaveFileChoice.h"

#include "platform/FileExists.h"

namespace {

// A new file, or an existing one the user agrees to replace.
bool mayWrite(Prompts& prompts, const std::string& fileName) {
    return !fileExists(fileName) ||
           prompts.messageBox(BoxType::Confirm,
                              "File [" + fileName + "] exists.... Do you want to replace it?",
                              Buttons::YesNo) == Answer::Yes;
}

}  // namespace

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
        if (fileName.empty() || mayWrite(prompts, fileName)) {
            return;
        }
    }
}

std::string chooseFileToSave(Prompts& prompts, FileDialogSettings& saveDialog) {
    while (prompts.runSaveDialog(saveDialog)) {
        if (mayWrite(prompts, saveDialog.fileName)) {
            return saveDialog.fileName;
        }
    }
    return {};
}
