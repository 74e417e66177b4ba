#include "tests/windows/WindowTestSupport.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionFrame>
#include <clocale>
#include <cstdio>
#include <cstdlib>
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

QString localized(const char* englishNumber) {
    const QLocale locale;
    QString text;
    for (const char* c = englishNumber; *c; ++c) {
        if (*c == ',') {
            text += locale.groupSeparator();
        } else if (*c == '.') {
            text += locale.decimalPoint();
        } else {
            text += QLatin1Char(*c);
        }
    }
    return text;
}

void requireInstalledLocale() {
    if (!std::setlocale(LC_ALL, "")) {
        const char* wanted = std::getenv("LC_ALL");
        if (!wanted || !*wanted) {
            wanted = std::getenv("LANG");
        }
        std::fprintf(stderr, "The locale %s is not installed; tools/setup generates it.\n",
                     wanted ? wanted : "(none)");
        std::exit(EXIT_FAILURE);
    }
}

bool showsWholeText(QLineEdit* field) {
    field->ensurePolished();
    // The text area as the line edit paints it: the style's contents rectangle less the
    // text margins and the edit's own two-pixel margin on each side.
    QStyleOptionFrame option;
    option.initFrom(field);
    option.rect = field->contentsRect();
    option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth,
                                                                       &option, field)
                                         : 0;
    option.state |= QStyle::State_Sunken;
    const QRect area = field->style()
                           ->subElementRect(QStyle::SE_LineEditContents, &option, field)
                           .marginsRemoved(field->textMargins());
    constexpr int editMargin = 2;
    // One pixel more for the cursor, as the edit reserves it.
    return field->fontMetrics().horizontalAdvance(field->text()) + 1 <=
           area.width() - 2 * editMargin;
}

QStringList controlsWithoutAUsefulName(QWidget* window) {
    QStringList faulty;
    QMap<QString, QString> owners;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const bool control =
            qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
            qobject_cast<QAbstractSlider*>(widget) || qobject_cast<QAbstractScrollArea*>(widget);
        // Parts the toolkit builds inside a control are named by that control.
        if (!control || widget->objectName().isEmpty() ||
            widget->objectName().startsWith(QLatin1String("qt_"))) {
            continue;
        }
        const QString name = accessibleName(widget).trimmed();
        if (name.size() < 2 || owners.contains(name)) {
            faulty << widget->objectName();
        }
        owners.insert(name, widget->objectName());
    }
    return faulty;
}

QString accessibleName(QWidget* control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}
