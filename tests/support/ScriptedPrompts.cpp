#include "tests/support/ScriptedPrompts.h"

namespace {

const char* buttonsName(Buttons buttons) {
    return buttons == Buttons::Ok ? "OK" : "Yes/No";
}

}  // namespace

ScriptedPrompts& ScriptedPrompts::box(BoxType type, std::string text, Buttons buttons,
                                      Answer answer) {
    Expected expected = event(Kind::Box);
    expected.type = type;
    expected.text = std::move(text);
    expected.buttons = buttons;
    expected.answer = answer;
    m_expected.push_back(expected);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::beep(unsigned soundType) {
    Expected expected = event(Kind::Beep);
    expected.sound = soundType;
    m_expected.push_back(expected);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::openDialog(std::optional<std::string> path) {
    Expected expected = event(Kind::OpenDialog);
    expected.path = std::move(path);
    m_expected.push_back(expected);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::saveDialog(std::optional<std::string> path) {
    Expected expected = event(Kind::SaveDialog);
    expected.path = std::move(path);
    m_expected.push_back(expected);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::progress(std::string title, bool cancel) {
    Expected expected = event(Kind::Progress);
    expected.text = std::move(title);
    expected.cancel = cancel;
    m_expected.push_back(expected);
    return *this;
}

ScriptedPrompts::Expected ScriptedPrompts::event(Kind kind) {
    Expected expected;
    expected.kind = kind;
    return expected;
}

std::string ScriptedPrompts::describe(const Expected& expected) const {
    switch (expected.kind) {
        case Kind::Box:
            return boxTitle(expected.type) + " box \"" + expected.text + "\" [" +
                   buttonsName(expected.buttons) + "]";
        case Kind::Beep:
            return "beep " + std::to_string(expected.sound);
        case Kind::OpenDialog:
            return "open dialog";
        case Kind::SaveDialog:
            return "save dialog";
        case Kind::Progress:
            return "progress box \"" + expected.text + "\"" +
                   (expected.cancel ? " [cancelled]" : "");
    }
    return "";
}

Answer ScriptedPrompts::messageBox(BoxType type, const std::string& text, Buttons buttons) {
    Expected shown = event(Kind::Box);
    shown.type = type;
    shown.text = text;
    shown.buttons = buttons;
    if (m_expected.empty() || m_expected.front().kind != Kind::Box ||
        m_expected.front().type != type || m_expected.front().text != text ||
        m_expected.front().buttons != buttons) {
        m_failures.push_back("unexpected " + describe(shown) +
                             (m_expected.empty() ? std::string(", nothing more expected")
                                                 : ", expected " + describe(m_expected.front())));
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    const Answer answer = m_expected.front().answer;
    m_expected.pop_front();
    return answer;
}

void ScriptedPrompts::messageBeep(unsigned soundType) {
    Expected heard = event(Kind::Beep);
    heard.sound = soundType;
    if (m_expected.empty() || m_expected.front().kind != Kind::Beep ||
        m_expected.front().sound != soundType) {
        m_failures.push_back("unexpected " + describe(heard) +
                             (m_expected.empty() ? std::string(", nothing more expected")
                                                 : ", expected " + describe(m_expected.front())));
        return;
    }
    m_expected.pop_front();
}

std::optional<std::string> ScriptedPrompts::askOpenFileName(FileDialogSettings& settings) {
    return dialog(Kind::OpenDialog, settings);
}

std::optional<std::string> ScriptedPrompts::askSaveFileName(FileDialogSettings& settings) {
    return dialog(Kind::SaveDialog, settings);
}

std::optional<std::string> ScriptedPrompts::dialog(Kind kind, FileDialogSettings& settings) {
    m_dialogs.push_back(settings);
    const Expected run = event(kind);
    if (m_expected.empty() || m_expected.front().kind != kind) {
        m_failures.push_back("unexpected " + describe(run) +
                             (m_expected.empty() ? std::string(", nothing more expected")
                                                 : ", expected " + describe(m_expected.front())));
        return std::nullopt;
    }
    std::optional<std::string> path = m_expected.front().path;
    m_expected.pop_front();
    return path;
}

namespace {

// Runs the task on the test's own thread, recording its stages.
class RecordedProgress : public TaskProgress {
public:
    RecordedProgress(bool cancel, std::vector<std::string>& stages)
        : m_cancel(cancel), m_stages(stages) {}
    void stage(const std::string& text, long long steps) override {
        m_stages.push_back(text + "/" + std::to_string(steps));
    }
    void advance() override {}
    void advanceTo(long long) override {}
    bool cancelled() const override { return m_cancel; }

private:
    bool m_cancel;
    std::vector<std::string>& m_stages;
};

}  // namespace

void ScriptedPrompts::showProgress(const std::string& title,
                                   const std::function<void(TaskProgress&)>& task) {
    Expected shown = event(Kind::Progress);
    shown.text = title;
    bool cancel = false;
    if (m_expected.empty() || m_expected.front().kind != Kind::Progress ||
        m_expected.front().text != title) {
        m_failures.push_back("unexpected " + describe(shown) +
                             (m_expected.empty() ? std::string(", nothing more expected")
                                                 : ", expected " + describe(m_expected.front())));
    } else {
        cancel = m_expected.front().cancel;
        m_expected.pop_front();
    }
    RecordedProgress progress(cancel, m_stages);
    task(progress);
}

std::string ScriptedPrompts::report() const {
    std::string text;
    for (const std::string& failure : m_failures) {
        text += failure + "\n";
    }
    for (const Expected& expected : m_expected) {
        text += "never shown: " + describe(expected) + "\n";
    }
    return text;
}

void ScriptedPrompts::clear() {
    m_expected.clear();
    m_failures.clear();
    m_dialogs.clear();
    m_stages.clear();
}
