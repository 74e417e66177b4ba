#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/TaskProgress.h"

// Everything that asks the user something or makes a sound goes through Prompts, so a test
// can script the answers and check every box the program shows.

enum class BoxType { Warning, Error, Information, Confirm, Application };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// Sound types of the platform beep.
enum SoundType : unsigned {
    DefaultBeep = 0x00,
    NoteBeep = 0x08,
    ErrorBeep = 0x10,
    InformationBeep = 0x40,
};

// Title of a message box of each type; the application's error box carries the application
// title.
std::string boxTitle(BoxType type);
inline constexpr const char* ApplicationTitle = "VELMORA Program";

// The state a file-dialog component keeps between uses. The filter is a list of
// "Description|pattern" pairs joined by '|'; the filter index is 1-based.
struct FileDialogSettings {
    std::string filter;
    int filterIndex = 1;
    std::string defaultExt;
    std::string fileName;
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // Modal box; lines in `text` are separated by carriage returns. Only Answer::Yes
    // counts as consent.
    virtual Answer messageBox(BoxType type, const std::string& text, Buttons buttons) = 0;
    virtual void messageBeep(unsigned soundType) = 0;

    // Run an open or save dialog. On confirmation the dialog's fileName holds the chosen
    // full path and the folder of that file becomes the current folder, as the platform's
    // standard dialogs do; on cancel nothing changes.
    bool runOpenDialog(FileDialogSettings& dialog);
    bool runSaveDialog(FileDialogSettings& dialog);

    // Runs a long task while a progress box titled `title` shows how far it has come and
    // offers to cancel it. False when the user cancelled it; anything else the task throws
    // is thrown here.
    bool runTask(const std::string& title, const std::function<void(TaskProgress&)>& task);

protected:
    // Return the chosen path, or nothing when cancelled. May update the filter index to
    // the user's last choice.
    virtual std::optional<std::string> askOpenFileName(FileDialogSettings& dialog) = 0;
    virtual std::optional<std::string> askSaveFileName(FileDialogSettings& dialog) = 0;
    // Runs the task to its end, which may be TaskCancelled.
    virtual void showProgress(const std::string& title,
                              const std::function<void(TaskProgress&)>& task) = 0;

private:
    bool accept(FileDialogSettings& dialog, const std::optional<std::string>& chosen);
};
