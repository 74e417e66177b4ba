#include "modify/NumericEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "platform/qt/LocaleNumbers.h"

std::string LineEditField::text() const {
    return m_edit->text().toStdString();
}

void LineEditField::setText(const std::string& text) {
    m_edit->setText(QString::fromStdString(text));
}

NumericEditEvents::NumericEditEvents(QLineEdit* edit, KeyFilter keyFilter, ExitHandler exitHandler)
    : QObject(edit), m_keyFilter(std::move(keyFilter)), m_exitHandler(std::move(exitHandler)) {
    edit->installEventFilter(this);
}

namespace {

// Keys that move the caret or the focus type no character, so the filter never sees them.
bool typesCharacter(const QKeyEvent& key) {
    switch (key.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
            return false;
        default:
            return !key.text().isEmpty();
    }
}

bool userLeftField(Qt::FocusReason reason) {
    switch (reason) {
        case Qt::MouseFocusReason:
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::OtherFocusReason:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool NumericEditEvents::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        // An Alt combination that is no accelerator types nothing (AltGr, seen as Ctrl+Alt,
        // does type characters).
        const Qt::KeyboardModifiers modifiers = key.modifiers();
        if ((modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier)) {
            return true;
        }
        if (typesCharacter(key)) {
            const char32_t character = key.text().toUcs4().value(0);
            return !m_keyFilter(character);
        }
    } else if (event->type() == QEvent::FocusOut) {
        if (userLeftField(static_cast<const QFocusEvent&>(*event).reason())) {
            m_exitHandler();
        }
    }
    return QObject::eventFilter(watched, event);
}

NumericEntryFields::NumericEntryFields(Prompts& prompts, QPushButton* saveButton)
    : m_prompts(prompts), m_saveButton(saveButton) {}

NumericEntryFields::~NumericEntryFields() {
    for (NumericEditEvents* events : m_events) {
        delete events;
    }
}

void NumericEntryFields::watch(QLineEdit* edit, std::function<void()> exitHandler) {
    m_events.push_back(new NumericEditEvents(
        edit, [this](char32_t key) { return keyPress(key); }, std::move(exitHandler)));
    // Delete, cut, paste and undo change the text without typing a character; whatever the
    // user changed stays unchecked until the field is left, so the save waits as for a key.
    QObject::connect(edit, &QLineEdit::textEdited, m_saveButton,
                     [button = m_saveButton] { button->setEnabled(false); });
}

bool NumericEntryFields::keyPress(char32_t key) {
    m_saveButton->setEnabled(false);
    if (isNumericEntryKey(key, localeSeparators().decimal)) {
        return true;
    }
    m_prompts.messageBeep(DefaultBeep);
    return false;
}
