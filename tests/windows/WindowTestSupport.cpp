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
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTextDocument>
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

void WindowTest::init() {
    folder = std::make_unique<CurrentFolder>();
    dir = std::make_unique<TempDir>();
    prompts = std::make_unique<ScriptedPrompts>();
    store = std::make_unique<TDataStore>();
}

// The windows go first: they show the store and answer through the prompts.
void WindowTest::cleanup() {
    program.reset();
    store.reset();
    prompts.reset();
    dir.reset();
    folder.reset();
}

VelmoraProgram& WindowTest::start() {
    program.reset();
    program = std::make_unique<VelmoraProgram>(*prompts, *store);
    return *program;
}

VelmoraProgram& WindowTest::restart() {
    program.reset();
    prompts = std::make_unique<ScriptedPrompts>();
    store = std::make_unique<TDataStore>();
    return start();
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

bool drawnAsFocused(QWidget* control) {
    if (!control->hasFocus()) {
        return false;
    }
    QWidget* window = control->window();
    const QRect around(control->mapTo(window, QPoint(-4, -4)), control->size() + QSize(8, 8));
    const QImage focused = window->grab(around).toImage();
    control->clearFocus();
    const QImage plain = window->grab(around).toImage();
    control->setFocus(Qt::OtherFocusReason);
    return focused != plain;
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

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

namespace {

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

DarkPalette::DarkPalette()
    : m_saved(QApplication::palette()), m_savedStyle(QApplication::style()->name()) {
    QApplication::setStyle(QStringLiteral("Fusion"));
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
    QApplication::setStyle(m_savedStyle);
    QApplication::setPalette(m_saved);
}

namespace {

// The indicator of the button as the style paints it, ticked or not, on what lies behind it.
QImage paintedIndicator(QAbstractButton* button, bool ticked) {
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    QStyleOptionButton option;
    option.initFrom(button);
    option.state |= ticked ? QStyle::State_On : QStyle::State_Off;
    option.rect = button->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, button);
    QImage image(option.rect.size(), QImage::Format_RGB32);
    image.fill(backgroundBehind(button));
    QPainter painter(&image);
    painter.translate(-option.rect.topLeft());
    button->style()->drawPrimitive(
        radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox, &option, &painter,
        button);
    return image;
}

}  // namespace

QStringList indicatorsHardToTell(QWidget* window) {
    // The contrast asked of graphical objects that carry meaning.
    constexpr double minimumContrast = 3;
    QStringList faulty;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!qobject_cast<QRadioButton*>(button) && !qobject_cast<QCheckBox*>(button)) {
            continue;
        }
        button->ensurePolished();
        const QImage ticked = paintedIndicator(button, true);
        const QImage unticked = paintedIndicator(button, false);
        double most = 1;
        for (int y = 0; y < ticked.height(); ++y) {
            for (int x = 0; x < ticked.width(); ++x) {
                most = std::max(most,
                                contrastRatio(ticked.pixelColor(x, y), unticked.pixelColor(x, y)));
            }
        }
        if (most < minimumContrast) {
            faulty << button->objectName();
        }
    }
    return faulty;
}

QStringList accessibleTextsWithMarkup(QWidget* window) {
    QStringList faulty;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible) {
            continue;
        }
        for (const QAccessible::Text text : {QAccessible::Name, QAccessible::Description}) {
            if (Qt::mightBeRichText(accessible->text(text))) {
                faulty << widget->objectName();
            }
        }
    }
    return faulty;
}

QStringList controlsAcrossFrames(QWidget* window) {
    QStringList faulty;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->isWindow() || !widget->isVisibleTo(window) || widget->objectName().isEmpty() ||
            widget->objectName().startsWith(QLatin1String("qt_"))) {
            continue;
        }
        QWidget* parent = widget->parentWidget();
        if (auto* box = qobject_cast<QGroupBox*>(parent)) {
            if (!box->contentsRect().contains(widget->geometry())) {
                faulty << widget->objectName();
            }
        }
        for (QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const bool frame = qobject_cast<QGroupBox*>(sibling) ||
                               sibling->metaObject() == &QFrame::staticMetaObject;
            if (sibling == widget || !frame || !sibling->isVisibleTo(window)) {
                continue;
            }
            const QRect overlap = sibling->geometry() & widget->geometry();
            if (!overlap.isEmpty() && overlap != widget->geometry() &&
                overlap != sibling->geometry()) {
                faulty << widget->objectName();
            }
        }
    }
    return faulty;
}

QStringList buttonsWithCrampedCaptions(QWidget* window) {
    QStringList faulty;
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        button->ensurePolished();
        QStyleOptionButton option;
        option.initFrom(button);
        const QStyle* style = button->style();
        // The room a style keeps around a caption: its margin, the frame on both sides, and the
        // default button's indicator when the button can become the default.
        int room = style->pixelMetric(QStyle::PM_ButtonMargin, &option, button) +
                   2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
        if (button->autoDefault()) {
            room += 2 * style->pixelMetric(QStyle::PM_ButtonDefaultIndicator, &option, button);
        }
        const QString caption = QString(button->text()).remove(QLatin1Char('&'));
        if (button->fontMetrics().horizontalAdvance(caption) + room > button->width()) {
            faulty << button->objectName();
        }
    }
    return faulty;
}
