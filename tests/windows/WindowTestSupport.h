#pragma once

#include <QApplication>
#include <QObject>
#include <QPalette>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <memory>

#include "app/VelmoraProgram.h"
#include "store/DataStore.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestFiles.h"

class QLineEdit;

// Records, in order, when the watched windows are shown and hidden.
class WindowLog : public QObject {
    Q_OBJECT
public:
    void watch(QWidget* window);
    QStringList entries;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The named control of a window; fails the test when there is none.
template <typename T>
T* control(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        QTest::qFail(qPrintable(QStringLiteral("no control ") + QLatin1String(name)), __FILE__,
                     __LINE__);
    }
    return found;
}

// Shows the window and waits until it has the focus, so focus events reach its fields.
bool activate(QWidget* window);

// Types into a field as a user does, starting from an empty field.
void typeInto(QLineEdit* field, const QString& text);

// Sets the current folder for the test and puts the old one back afterwards.
class CurrentFolder {
public:
    CurrentFolder();
    ~CurrentFolder();

private:
    std::string m_saved;
};

// The control holding the keyboard is drawn otherwise than it is without it, around it
// included (a frame beside it).
bool drawnAsFocused(QWidget* control);

// The fixture of the window tests. Each test function runs in a temporary folder that is
// also the current one, with scripted prompts, an empty store and, once started, the
// program's windows over them.
class WindowTest : public QObject {
    Q_OBJECT
protected slots:
    void init();
    void cleanup();

protected:
    // The program's windows, created afresh over the prompts and the store as they are.
    VelmoraProgram& start();
    // The same over new prompts and an empty store.
    VelmoraProgram& restart();

    std::unique_ptr<CurrentFolder> folder;
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<TDataStore> store;
    std::unique_ptr<VelmoraProgram> program;
};

// The field's whole text fits its text area: nothing is scrolled out of sight.
bool showsWholeText(QLineEdit* field);

// The controls of a window that assistive technology could not tell apart: no accessible
// name, a lone letter, or a name another control has too.
QStringList controlsWithoutAUsefulName(QWidget* window);
// The name assistive technology reads for a control.
QString accessibleName(QWidget* control);

// The contrast between two colours, from 1 to 21, as the web's accessibility guidelines
// reckon it.
double contrastRatio(const QColor& a, const QColor& b);

// The texts of a window (labels, group-box titles, radio buttons, check boxes, edit fields)
// whose colour stands out too little from the background behind them.
QStringList hardToReadTexts(QWidget* window);

// A dark desktop palette, as the user's desktop may set it, for as long as it lives, under
// the toolkit's own style.
class DarkPalette {
public:
    DarkPalette();
    ~DarkPalette();

private:
    QPalette m_saved;
    QString m_savedStyle;
};

// The radio buttons and check boxes of a window whose ticked indicator can hardly be told
// from an unticked one: the style paints both with the control's own palette.
QStringList indicatorsHardToTell(QWidget* window);

// The controls, the window included, whose accessible name or description holds markup.
QStringList accessibleTextsWithMarkup(QWidget* window);

// Controls that cross the line of a frame: a group box's children reaching out of its
// contents, or a control partly over a frame beside it.
QStringList controlsAcrossFrames(QWidget* window);

// Buttons whose caption does not fit within the margins the style gives it.
QStringList buttonsWithCrampedCaptions(QWidget* window);

// A number written the English way ("1,000.5") with the separators of the user's locale.
QString localized(const char* englishNumber);

// Stops the test at once when the locale its environment names is not installed: the C
// library would then silently stay on the C locale and hide every locale fault.
void requireInstalledLocale();

// QTEST_MAIN after the locale check.
#define VELMORA_TEST_MAIN(TestObject)              \
    int main(int argc, char** argv) {              \
        requireInstalledLocale();                  \
        QApplication application(argc, argv);      \
        application.setAttribute(Qt::AA_Use96Dpi); \
        TestObject test;                           \
        return QTest::qExec(&test, argc, argv);    \
    }

#define VERIFY_PROMPTS(prompts) QVERIFY2((prompts).satisfied(), (prompts).report().c_str())
