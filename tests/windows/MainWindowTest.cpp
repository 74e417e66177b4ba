#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>

#include "app/AboutUnitVelmora.h"
#include "app/HintSwitch.h"
#include "app/Velmora.h"
#include "app/VelmoraProgram.h"
#include "loading/LoadDataVelmora.h"
#include "modify/DistSpecification.h"
#include "modify/IndivChange.h"
#include "store/DataStore.h"
#include "tests/windows/WindowTestSupport.h"

namespace {

const std::string UnsavedWarning =
    "Distance matrix was modified but not saved ... WARNING\r"
    "To save it answer YES below and then\r"
    "go to Modify Individual Cells and then Quit and Save Changes\r"
    "\r"
    "Do you want to save the file?";
const std::string ExitQuestion = "Thanks for using VELMORA.\rAre you sure you want to exit now?";
const std::string LoadQuestion =
    "You are about to LOAD new data.\rAre you sure you want to delete current data and "
    "solutions?";

}  // namespace

class MainWindowTest : public WindowTest {
    Q_OBJECT

private slots:
    void init() {
        WindowTest::init();
        store->MatrixSaved = false;
        main = &start().VelmoraMain();
    }

    void creationShowsTheSplashAndMarksTheMatrixSaved() {
        TAboutBoxVelmora* splash = main->splash();
        QVERIFY(splash->isVisible());
        QVERIFY(splash->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!control<QPushButton>(splash, "OKButton")->isVisible());
        QVERIFY(splash != &program->AboutBoxVelmora());
        QVERIFY(!program->AboutBoxVelmora().isVisible());
        QCOMPARE(control<QLabel>(splash, "Version")->text(), QStringLiteral("Version 1.00"));
        QVERIFY(store->MatrixSaved);
        QCOMPARE(main->windowTitle(), QStringLiteral("Velmora Program"));
    }

    void splashLeavesByItselfWhenItsTimerFires() {
        TAboutBoxVelmora* splash = main->splash();
        QCOMPARE(splash->AboutTimer()->interval(), 1500);
        QVERIFY(splash->AboutTimer()->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!splash->isVisible(), 3000);
        QVERIFY(!control<QPushButton>(splash, "OKButton")->isHidden());
        QVERIFY(splash->AboutTimer()->isActive());
    }

    void buttonsCaptionsAndStates() {
        const std::pair<const char*, const char*> buttons[] = {
            {"AboutButton", "&About"},
            {"HintShow", "Show &Hints"},
            {"LoadData", "&Load Data"},
            {"ModifyDist", "&Matrix Modifications"},
            {"SingleElement", "Modify &Individual Cells"},
            {"ExitVelmora", "&Exit Velmora"}};
        for (const auto& [name, caption] : buttons) {
            QPushButton* button = control<QPushButton>(main, name);
            QCOMPARE(button->text(), QString::fromLatin1(caption));
            // Wider than the 145 pixels made for a narrower font: the captions must fit.
            QCOMPARE(button->size(), QSize(158, 25));
            const bool matrixButton =
                QByteArray(name) == "ModifyDist" || QByteArray(name) == "SingleElement";
            QCOMPARE(button->isEnabled(), !matrixButton);
        }
        QCOMPARE(control<QLabel>(main, "Image1")->size(), QSize(105, 105));
        QVERIFY(!control<QLabel>(main, "Image1")->pixmap().isNull());
        QCOMPARE(control<QLabel>(main, "Panel1")->text(), QStringLiteral("Velmora Main Menu"));
    }

    void focusOrderSkipsDisabledButtons() {
        QVERIFY(activate(main));
        QCOMPARE(tabOrder(), QStringList({"AboutButton", "LoadData", "ExitVelmora", "HintShow"}));
        main->setMatrixCommandsEnabled(true);
        QCOMPARE(tabOrder(), QStringList({"AboutButton", "LoadData", "ModifyDist", "ExitVelmora",
                                          "HintShow", "SingleElement"}));
    }

    void firstHintClickHidesHintsSecondShowsThem() {
        QPushButton* hintShow = control<QPushButton>(main, "HintShow");
        QLabel* label = control<QLabel>(main, "HintShowLabel");
        QCOMPARE(label->text(), QStringLiteral("Hints will be show... Click to Hide"));
        QCOMPARE(textColour(label), QColor(Qt::green));
        QVERIFY(main->hints()->hintsShown());

        hintShow->click();
        QVERIFY(!main->hints()->hintsShown());
        QCOMPARE(label->text(), QStringLiteral("Hints will be hidden... Click to Show"));
        QCOMPARE(textColour(label), QColor(Qt::yellow));
        QCOMPARE(hintShow->text(), QStringLiteral("Show &Hints"));

        hintShow->click();
        QVERIFY(main->hints()->hintsShown());
        QCOMPARE(label->text(), QStringLiteral("Hints will be shown... Click to Hide"));
        QCOMPARE(textColour(label), QColor(Qt::green));
        QCOMPARE(hintShow->text(), QStringLiteral("Hide &Hints"));
    }

    void hintsGovernTheToolTipsOfEveryWindow() {
        QWidget* withHint = control<QWidget>(&program->LoadDataVelmoraForm(), "SpecifyDemand");
        QVERIFY(!withHint->toolTip().isEmpty());
        program->LoadDataVelmoraForm().show();
        control<QPushButton>(main, "HintShow")->click();
        QVERIFY(askForToolTip(withHint));
        control<QPushButton>(main, "HintShow")->click();
        QVERIFY(!askForToolTip(withHint));
    }

    void exitWithSavedMatrixAsksOnlyForConfirmationAndReleasesTheNodes() {
        loadNodes(3);
        main->show();
        prompts->beep(ErrorBeep)
            .box(BoxType::Confirm, ExitQuestion, Buttons::YesNo, Answer::Yes)
            .box(BoxType::Information, "Exiting VELMORA.", Buttons::Ok);
        control<QPushButton>(main, "ExitVelmora")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(!main->isVisible());
        QVERIFY(!store->NodeTable.holds(1));
        QVERIFY(!store->DistanceMatrix.holds(3));
        QCOMPARE(store->NodeCount, uint16_t{3});
    }

    void unsavedMatrixWarningYesKeepsTheProgramRunning() {
        loadNodes(2);
        store->MatrixSaved = false;
        main->show();
        prompts->beep(NoteBeep).box(BoxType::Warning, UnsavedWarning, Buttons::YesNo, Answer::Yes);
        QVERIFY(!main->close());
        VERIFY_PROMPTS(*prompts);
        QVERIFY(main->isVisible());
        QVERIFY(store->NodeTable.holds(2));
    }

    void unsavedMatrixWarningNoLeadsToTheConfirmationWhichMayRefuse() {
        loadNodes(2);
        store->MatrixSaved = false;
        main->show();
        prompts->beep(NoteBeep)
            .box(BoxType::Warning, UnsavedWarning, Buttons::YesNo, Answer::No)
            .beep(ErrorBeep)
            .box(BoxType::Confirm, ExitQuestion, Buttons::YesNo, Answer::No);
        QVERIFY(!main->close());
        VERIFY_PROMPTS(*prompts);
        QVERIFY(main->isVisible());
        QVERIFY(store->NodeTable.holds(1));

        prompts->beep(NoteBeep)
            .box(BoxType::Warning, UnsavedWarning, Buttons::YesNo, Answer::No)
            .beep(ErrorBeep)
            .box(BoxType::Confirm, ExitQuestion, Buttons::YesNo, Answer::Yes)
            .box(BoxType::Information, "Exiting VELMORA.", Buttons::Ok);
        QVERIFY(main->close());
        VERIFY_PROMPTS(*prompts);
    }

    void exitAfterAFailedLoadReleasesOnlyTheTable() {
        for (int i = 1; i <= MaxNodes; ++i) {
            store->NodeTable.create(i);
        }
        store->NodeCount = 902;
        main->show();
        prompts->beep(ErrorBeep)
            .box(BoxType::Confirm, ExitQuestion, Buttons::YesNo, Answer::Yes)
            .box(BoxType::Information, "Exiting VELMORA.", Buttons::Ok);
        QVERIFY(main->close());
        VERIFY_PROMPTS(*prompts);
        QVERIFY(!store->NodeTable.holds(901));
    }

    void exitWithNoDataStillSaysGoodbye() {
        main->show();
        prompts->beep(ErrorBeep)
            .box(BoxType::Confirm, ExitQuestion, Buttons::YesNo, Answer::Yes)
            .box(BoxType::Information, "Exiting VELMORA.", Buttons::Ok);
        QVERIFY(main->close());
        VERIFY_PROMPTS(*prompts);
    }

    void loadDataBeforeAnyLoadOpensTheDialogWithoutAQuestion() {
        WindowLog log;
        log.watch(main);
        log.watch(&program->LoadDataVelmoraForm());
        main->show();
        log.entries.clear();
        control<QPushButton>(main, "LoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(log.entries, QStringList({"hidden VelmoraMain", "shown LoadDataVelmoraForm"}));
    }

    void loadQuestionAfterALoadNoKeepsEverything() {
        loadNodes(2);
        main->setMatrixCommandsEnabled(true);
        main->show();
        prompts->box(BoxType::Confirm, LoadQuestion, Buttons::YesNo, Answer::No);
        control<QPushButton>(main, "LoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(main->isVisible());
        QVERIFY(!program->LoadDataVelmoraForm().isVisible());
        QCOMPARE(store->NodeCount, uint16_t{2});
        QVERIFY(control<QPushButton>(main, "ModifyDist")->isEnabled());
    }

    void loadQuestionYesThenCancelLeavesNoDataAndNothingToWarnAbout() {
        loadNodes(2);
        store->MatrixSaved = false;
        main->setMatrixCommandsEnabled(true);
        main->show();
        prompts->box(BoxType::Confirm, LoadQuestion, Buttons::YesNo, Answer::Yes);
        control<QPushButton>(main, "LoadData")->click();
        QCOMPARE(store->NodeCount, uint16_t{0});
        QVERIFY(!store->NodeTable.holds(1));
        QVERIFY(!control<QPushButton>(main, "ModifyDist")->isEnabled());
        QVERIFY(!control<QPushButton>(main, "SingleElement")->isEnabled());
        control<QPushButton>(&program->LoadDataVelmoraForm(), "CancelButton")->click();
        QVERIFY(main->isVisible());
        QVERIFY(!control<QPushButton>(main, "ModifyDist")->isEnabled());
        VERIFY_PROMPTS(*prompts);
        // The discarded matrix cannot be saved any more: the exit only asks to confirm.
        prompts->beep(ErrorBeep).box(BoxType::Confirm, ExitQuestion, Buttons::YesNo, Answer::No);
        QVERIFY(!main->close());
        VERIFY_PROMPTS(*prompts);
    }

    void matrixDialogsAreShownBeforeTheMainWindowHides() {
        store->DataFileExt = ".EUC";
        main->setMatrixCommandsEnabled(true);
        WindowLog log;
        log.watch(main);
        log.watch(&program->DistEquationForm());
        log.watch(&program->IndividualChanges());
        main->show();
        log.entries.clear();
        control<QPushButton>(main, "ModifyDist")->click();
        QCOMPARE(log.entries, QStringList({"shown DistEquationForm", "hidden VelmoraMain"}));
        control<QPushButton>(&program->DistEquationForm(), "CancelButton")->click();
        log.entries.clear();
        control<QPushButton>(main, "SingleElement")->click();
        QCOMPARE(log.entries, QStringList({"shown IndividualChanges", "hidden VelmoraMain"}));
        control<QPushButton>(&program->IndividualChanges(), "Cancel")->click();
        QVERIFY(main->isVisible());
        QVERIFY(!program->IndividualChanges().isVisible());
    }

    void aboutBoxStaysUntilOkAndOkBringsTheMainWindowBack() {
        TAboutBoxVelmora& about = program->AboutBoxVelmora();
        WindowLog log;
        log.watch(main);
        log.watch(&about);
        main->show();
        log.entries.clear();
        control<QPushButton>(main, "AboutButton")->click();
        QCOMPARE(log.entries, QStringList({"hidden VelmoraMain", "shown AboutBoxVelmora"}));
        QVERIFY(!about.AboutTimer()->isActive());
        QTest::qWait(1700);
        QVERIFY(about.isVisible());
        log.entries.clear();
        control<QPushButton>(&about, "OKButton")->click();
        QCOMPARE(log.entries, QStringList({"shown VelmoraMain", "hidden AboutBoxVelmora"}));
    }

    // Windows that paint their own background set their own text colours too, so a dark
    // desktop palette leaves them readable.
    void textsStayReadableUnderADarkPalette() {
        DarkPalette dark;
        // Created under the palette, as at start-up on a dark desktop.
        start();
        for (QWidget* window : std::initializer_list<QWidget*>{
                 &program->VelmoraMain(), &program->LoadDataVelmoraForm(),
                 &program->DistEquationForm(), &program->IndividualChanges(),
                 &program->AboutBoxVelmora()}) {
            window->show();
            QVERIFY2(hardToReadTexts(window).isEmpty(),
                     qPrintable(window->objectName() + QStringLiteral(": ") +
                                hardToReadTexts(window).join(QStringLiteral(", "))));
        }
    }

    void dataDialogsHaveNoTitleBarButtons() {
        for (QWidget* dialog : std::initializer_list<QWidget*>{
                 &program->LoadDataVelmoraForm(), &program->DistEquationForm(),
                 &program->IndividualChanges(), &program->AboutBoxVelmora()}) {
            const Qt::WindowFlags flags = dialog->windowFlags();
            QVERIFY(flags & Qt::CustomizeWindowHint);
            QVERIFY(!(flags & Qt::WindowCloseButtonHint));
            QVERIFY(!(flags & Qt::WindowSystemMenuHint));
            QVERIFY(!(flags & Qt::WindowMinMaxButtonsHint));
        }
        QCOMPARE(program->LoadDataVelmoraForm().windowTitle(),
                 QStringLiteral("VELMORA Load Data Form"));
        QCOMPARE(program->DistEquationForm().windowTitle(),
                 QStringLiteral("Specify Distance Equations"));
        QCOMPARE(program->IndividualChanges().windowTitle(),
                 QStringLiteral("Individual Element Changes"));
    }

private:
    void loadNodes(int n) {
        for (int i = 1; i <= n; ++i) {
            store->NodeTable.create(i);
            store->DistanceMatrix.create(i);
        }
        store->NodeCount = static_cast<uint16_t>(n);
    }

    QStringList tabOrder() {
        QStringList order;
        control<QPushButton>(main, "AboutButton")->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 8; ++i) {
            const QString name = QApplication::focusWidget()->objectName();
            if (order.contains(name)) {
                break;
            }
            order << name;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        return order;
    }

    static QColor textColour(QLabel* label) {
        label->ensurePolished();
        return label->palette().color(QPalette::WindowText);
    }

    static bool askForToolTip(QWidget* widget) {
        QToolTip::hideText();
        QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
        const bool swallowed = QApplication::sendEvent(widget, &event) && !QToolTip::isVisible();
        QToolTip::hideText();
        return swallowed;
    }

    TVelmoraMain* main = nullptr;
};

VELMORA_TEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
