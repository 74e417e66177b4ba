#include "tests/windows/WindowTestSupport.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <filesystem>
#include <system_error>

void WindowLog::watch(QWidget* window) {
    window->installEventFilter(this);
}

bool WindowLog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        entries << QStringLiteral("shown ") + watched->objectName();
    } else if (event->type() == QEvent::Hide) {
        entries << QStringLiteral("hidden ") + watched->objectName();
    }
    return QObject::eventFilter(watched, event);
}

bool activate(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void typeInto(QLineEdit* field, const QString& text) {
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

CurrentFolder::CurrentFolder() : m_saved(std::filesystem::current_path().string()) {}

CurrentFolder::~CurrentFolder() {
    std::error_code ignored;
    std::filesystem::current_path(m_saved, ignored);
}
