#include <QAccessible>
#include <QPushButton>
#include <QRadioButton>

#include "app/AboutUnitVelmora.h"
#include "app/Velmora.h"
#include "app/VelmoraProgram.h"
#include "loading/LoadDataVelmora.h"
#include "modify/DistSpecification.h"
#include "modify/IndivChange.h"
#include "preview/CoveragePreview.h"
#include "store/DataStore.h"
#include "tests/support/TestFiles.h"
#include "tests/windows/WindowTestSupport.h"

// What every window must look like to a user, whatever the desktop's palette: each window is
// brought up with its controls in use (files chosen, an item ticked, the preview open).
class WindowLooksTest : public WindowTest {
    Q_OBJECT

private slots:

    void tickedIndicatorsStandOutUnderALightAndADarkPalette() {
        for (const bool dark : {false, true}) {
            std::unique_ptr<DarkPalette> palette;
            if (dark) {
                palette = std::make_unique<DarkPalette>();
            }
            for (QWidget* window : everyWindowInUse()) {
                QVERIFY2(indicatorsHardToTell(window).isEmpty(),
                         qPrintable(window->objectName() + (dark ? " dark: " : " light: ") +
                                    indicatorsHardToTell(window).join(QStringLiteral(", "))));
            }
        }
    }

    void accessibleTextsArePlainText() {
        for (QWidget* window : everyWindowInUse()) {
            QVERIFY2(accessibleTextsWithMarkup(window).isEmpty(),
                     qPrintable(window->objectName() + QStringLiteral(": ") +
                                accessibleTextsWithMarkup(window).join(QStringLiteral(", "))));
        }
    }

    // Screen readers announce a window or a dialog, never a plain filler area.
    void everyWindowIsAnnouncedAsAWindowOrADialog() {
        const QList<QWidget*> windows = everyWindowInUse();
        for (QWidget* window : windows) {
            // The main window and the preview are windows; the others are dialogs.
            const bool plain = window == windows.front() || window == windows.back();
            QVERIFY2(QAccessible::queryAccessibleInterface(window)->role() ==
                         (plain ? QAccessible::Window : QAccessible::Dialog),
                     qPrintable(window->objectName()));
        }
    }

    void controlsStayWithinTheirFramesAndCaptionsFit() {
        for (QWidget* window : everyWindowInUse()) {
            QVERIFY2(controlsAcrossFrames(window).isEmpty(),
                     qPrintable(window->objectName() + QStringLiteral(": ") +
                                controlsAcrossFrames(window).join(QStringLiteral(", "))));
            QVERIFY2(buttonsWithCrampedCaptions(window).isEmpty(),
                     qPrintable(window->objectName() + QStringLiteral(": ") +
                                buttonsWithCrampedCaptions(window).join(QStringLiteral(", "))));
        }
    }

    void thePreviewReadsWellUnderADarkPalette() {
        DarkPalette dark;
        QWidget* preview = everyWindowInUse().back();
        QCOMPARE(preview->objectName(), QStringLiteral("CoveragePreview"));
        QVERIFY2(hardToReadTexts(preview).isEmpty(),
                 qPrintable(hardToReadTexts(preview).join(QStringLiteral(", "))));
    }

private:
    // The program's windows, created under the palette in force, each shown in use; the
    // preview last.
    QList<QWidget*> everyWindowInUse() {
        restart();
        TLoadDataVelmoraForm* load = &program->LoadDataVelmoraForm();
        chooseFiles(load);
        prompts->box(BoxType::Confirm, "Do you want to save distances?", Buttons::YesNo,
                     Answer::No);
        control<QPushButton>(load, "ExitAndLoadData")->click();
        TDistEquationForm* equations = &program->DistEquationForm();
        equations->show();
        control<QPushButton>(equations, "PreviewCoverage")->click();
        // Opened again, the load dialog starts afresh; the preview keeps what it read.
        chooseFiles(load);
        program->IndividualChanges().show();
        program->AboutBoxVelmora().show();
        program->VelmoraMain().show();
        return {&program->VelmoraMain(),
                load,
                equations,
                &program->IndividualChanges(),
                &program->AboutBoxVelmora(),
                equations->CoveragePreview()};
    }

    void chooseFiles(TLoadDataVelmoraForm* load) {
        load->show();
        control<QRadioButton>(load, "Euclidean")->click();
        prompts->openDialog(dir->write("demand.EUC", "1 0 0 5 5 1 Depot\r\n2 3 4 1 2 1\r\n"));
        control<QPushButton>(load, "SpecifyDemand")->click();
        prompts->openDialog(dir->write("sites.EUC", "1 0 8 x x 1\r\n"));
        control<QPushButton>(load, "ExtraSites")->click();
        control<QRadioButton>(load, "ComputeDistances")->click();
    }
};

VELMORA_TEST_MAIN(WindowLooksTest)
#include "WindowLooksTest.moc"
