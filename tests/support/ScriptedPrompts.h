#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/Prompts.h"

// Prompts for tests: the test lists every box, beep and file dialog it expects, in order,
// with the answer to give. Anything else is recorded as a failure and answered with No,
// OK or a cancelled dialog.
class ScriptedPrompts : public Prompts {
public:
    ScriptedPrompts& box(BoxType type, std::string text, Buttons buttons,
                         Answer answer = Answer::Ok);
    ScriptedPrompts& beep(unsigned soundType);
    // A dialog that confirms `path`, or is cancelled when there is none.
    ScriptedPrompts& openDialog(std::optional<std::string> path);
    ScriptedPrompts& saveDialog(std::optional<std::string> path);
    // A progress box that lets the task run to its end, or cancels it at the first check.
    ScriptedPrompts& progress(std::string title, bool cancel = false);

    Answer messageBox(BoxType type, const std::string& text, Buttons buttons) override;
    void messageBeep(unsigned soundType) override;

    // Every expectation met, nothing unexpected.
    bool satisfied() const { return m_failures.empty() && m_expected.empty(); }
    // What went wrong, for the test's failure message.
    std::string report() const;
    // The settings each file dialog was run with, in order.
    const std::vector<FileDialogSettings>& dialogsRun() const { return m_dialogs; }
    // The stages the tasks run went through, each as "text/steps", in order.
    const std::vector<std::string>& stagesShown() const { return m_stages; }
    void clear();

protected:
    std::optional<std::string> askOpenFileName(FileDialogSettings& dialog) override;
    std::optional<std::string> askSaveFileName(FileDialogSettings& dialog) override;
    void showProgress(const std::string& title,
                      const std::function<void(TaskProgress&)>& task) override;

private:
    enum class Kind { Box, Beep, OpenDialog, SaveDialog, Progress };
    struct Expected {
        Kind kind = Kind::Box;
        BoxType type = BoxType::Information;
        std::string text;
        Buttons buttons = Buttons::Ok;
        Answer answer = Answer::Ok;
        unsigned sound = 0;
        std::optional<std::string> path;
        bool cancel = false;
    };

    static Expected event(Kind kind);
    std::optional<std::string> dialog(Kind kind, FileDialogSettings& settings);
    std::string describe(const Expected& event) const;

    std::deque<Expected> m_expected;
    std::vector<std::string> m_failures;
    std::vector<FileDialogSettings> m_dialogs;
    std::vector<std::string> m_stages;
};
