#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "modify/EntryChecks.h"

class QLineEdit;
class QPushButton;

// A line edit as the entry checks see it.
class LineEditField : public EntryField {
public:
    explicit LineEditField(QLineEdit* edit) : m_edit(edit) {}
    std::string text() const override;
    void setText(const std::string& text) override;

private:
    QLineEdit* m_edit;
};

// Routes a numeric edit's typed characters to its key filter and calls its exit handler
// when the user leaves the field: Tab, a click, an accelerator. Focus taken by a message box
// or another window is not leaving, so a box never re-runs the check that showed it.
class NumericEditEvents : public QObject {
    Q_OBJECT
public:
    // The key filter returns false to drop the character.
    using KeyFilter = std::function<bool(char32_t)>;
    using ExitHandler = std::function<void()>;

    NumericEditEvents(QLineEdit* edit, KeyFilter keyFilter, ExitHandler exitHandler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyFilter m_keyFilter;
    ExitHandler m_exitHandler;
};

// The numeric fields of a dialog. Their key filter disables the dialog's save-and-close
// button on every key, lets a number's characters through and refuses anything else with
// the default beep; any other change the user makes to a field's text disables the button
// too. Each field's exit handler runs when the user leaves it.
class NumericEntryFields {
public:
    NumericEntryFields(Prompts& prompts, QPushButton* saveButton);
    // A focused field loses its focus while its window is destroyed; the routing goes
    // first so no handler runs on a half-destroyed dialog.
    ~NumericEntryFields();
    NumericEntryFields(const NumericEntryFields&) = delete;
    NumericEntryFields& operator=(const NumericEntryFields&) = delete;

    void watch(QLineEdit* edit, std::function<void()> exitHandler);
    bool keyPress(char32_t key);

private:
    Prompts& m_prompts;
    QPushButton* m_saveButton;
    std::vector<NumericEditEvents*> m_events;
};
