#include <QTest>
#include <QTimer>
#include <QWidget>

#include "app/Velmora.h"
#include "app/VelmoraApplication.h"
#include "app/VelmoraProgram.h"
#include "platform/RunTimeError.h"
#include "store/DataStore.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/windows/WindowTestSupport.h"

namespace {
int argc = 1;
char name[] = "ApplicationTest";
char* argv[] = {name, nullptr};
ScriptedPrompts prompts;
}  // namespace

// The application object itself catches what a handler leaves uncaught and decides when the
// program ends, so this test runs under the real one rather than the plain application the
// test library builds.
class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void aRangeErrorShowsTheErrorBoxAndTheProgramGoesOn() {
        int reached = 0;
        prompts.box(BoxType::Application, "Range check error.", Buttons::Ok);
        QTimer::singleShot(0, this, [&] {
            ++reached;
            throw RangeError();
        });
        QTRY_COMPARE(reached, 1);
        VERIFY_PROMPTS(prompts);

        // The event loop still delivers events after the abandoned handler.
        bool later = false;
        QTimer::singleShot(0, this, [&] { later = true; });
        QTRY_VERIFY(later);
    }

    void messagesThatEndWithAFullStopKeepIt() {
        int thrown = 0;
        prompts.box(BoxType::Application, "'x' is not a valid floating point value.", Buttons::Ok)
            .box(BoxType::Application, "Disk full.", Buttons::Ok);
        QTimer::singleShot(0, this, [&] {
            ++thrown;
            throw ConversionError("'x' is not a valid floating point value");
        });
        QTimer::singleShot(0, this, [&] {
            ++thrown;
            throw InOutError("Disk full.");
        });
        QTRY_COMPARE(thrown, 2);
        VERIFY_PROMPTS(prompts);
    }

    void closingTheLastVisibleDialogDoesNotEndTheProgram() {
        QWidget dialog;
        QTimer::singleShot(0, this, [&] {
            dialog.show();
            dialog.close();
        });
        QTimer::singleShot(100, this, [] { QCoreApplication::exit(7); });
        QCOMPARE(QCoreApplication::exec(), 7);
    }

    void theConfirmedExitEndsTheEventLoopAfterOneRound() {
        TDataStore store;
        VelmoraProgram program(prompts, store);
        program.VelmoraMain().show();
        prompts.beep(ErrorBeep)
            .box(BoxType::Confirm, "Thanks for using VELMORA.\rAre you sure you want to exit now?",
                 Buttons::YesNo, Answer::Yes)
            .box(BoxType::Information, "Exiting VELMORA.", Buttons::Ok);
        QTimer::singleShot(0, &program.VelmoraMain(), &QWidget::close);
        QTimer::singleShot(2000, this, [] { QCoreApplication::exit(9); });
        QCOMPARE(QCoreApplication::exec(), 0);
        VERIFY_PROMPTS(prompts);
    }

    void theErrorBoxCarriesTheApplicationTitle() {
        QCOMPARE(boxTitle(BoxType::Application), std::string("VELMORA Program"));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("VELMORA Program"));
    }
};

int main() {
    requireInstalledLocale();
    VelmoraApplication application(argc, argv, prompts);
    ApplicationTest test;
    return QTest::qExec(&test);
}

#include "ApplicationTest.moc"
