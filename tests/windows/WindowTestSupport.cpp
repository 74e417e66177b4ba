#include "tests/windows/WindowTestSupport.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <clocale>
#include <cmath>
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

namespace {

double relativeLuminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What is painted behind a widget: the nearest widget, itself included, whose background
// differs from the application's.
QColor backgroundBehind(QWidget* widget) {
    const QColor application = QApplication::palette().color(QPalette::Window);
    for (QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        const QColor own = w->palette().color(QPalette::Window);
        if (own != application) {
            return own;
        }
    }
    return application;
}

}  // namespace

QStringList hardToReadTexts(QWidget* window) {
    // Below the contrast of the darkest text colours the dialogs use on yellow.
    constexpr double minimumContrast = 2.5;
    QStringList faulty;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const bool onWindow = qobject_cast<QLabel*>(widget) || qobject_cast<QGroupBox*>(widget) ||
                              qobject_cast<QRadioButton*>(widget) ||
                              qobject_cast<QCheckBox*>(widget);
        const bool onBase =
            qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget);
        if (!onWindow && !onBase) {
            continue;
        }
        widget->ensurePolished();
        const QPalette& palette = widget->palette();
        const QPalette::ColorGroup group =
            widget->isEnabled() ? QPalette::Active : QPalette::Disabled;
        const QColor colour = palette.color(group, onBase ? QPalette::Text : QPalette::WindowText);
        const QColor background =
            onBase ? palette.color(group, QPalette::Base) : backgroundBehind(widget);
        if (contrastRatio(colour, background) < minimumContrast) {
            faulty << widget->objectName();
        }
    }
    return faulty;
}

DarkPalette::DarkPalette() : m_saved(QApplication::palette()) {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(53, 53, 53));
    dark.setColor(QPalette::ButtonText, Qt::white);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
    }
    QApplication::setPalette(dark);
}

DarkPalette::~DarkPalette() {
    QApplication::setPalette(m_saved);
}
