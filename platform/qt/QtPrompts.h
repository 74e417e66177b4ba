#pragma once

#include <QString>
#include <QStringList>

#include "platform/Prompts.h"

class QFileDialog;
class QWidget;

// The prompts as the user sees them: modal message boxes showing their text as plain text,
// the toolkit's own file dialogs and the display's bell.
class QtPrompts : public Prompts {
public:
    Answer messageBox(BoxType type, const std::string& text, Buttons buttons) override;
    void messageBeep(unsigned soundType) override;

protected:
    std::optional<std::string> askOpenFileName(FileDialogSettings& dialog) override;
    std::optional<std::string> askSaveFileName(FileDialogSettings& dialog) override;
    // The task runs on a thread of its own; a modal progress dialog shows once it has taken
    // a moment, so short tasks show nothing.
    void showProgress(const std::string& title,
                      const std::function<void(TaskProgress&)>& task) override;

private:
    std::optional<std::string> askFileName(FileDialogSettings& dialog, bool save);
};

// A file dialog as the settings describe it, opening in the current folder (the folder of the
// last file chosen) unless the settings name a file elsewhere.
void setUpFileDialog(QFileDialog& fileDialog, const FileDialogSettings& dialog, bool save);
// "Text|*.ext|All Files|*.*" as the toolkit's name filters: "Text (*.ext)", "All Files (*)".
QStringList nameFilters(const std::string& filter);
// Carriage-return line breaks as the toolkit's line breaks, every other control character
// made visible (visibleText).
QString boxText(const std::string& text);
