#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <chrono>
#include <thread>

#include "loading/RoadMapOptions.h"
#include "platform/qt/QtPrompts.h"
#include "roads/RoadError.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestFiles.h"
#include "tests/windows/WindowTestSupport.h"

namespace {

// Waits, within reason, until the user cancels; a task nobody cancels ends by itself so a
// fault fails the test instead of hanging it.
void untilCancelled(TaskProgress& progress) {
    progress.stage("Computing road distances", 10);
    progress.advance();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!progress.cancelled() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    progress.checkCancelled();
}

QProgressDialog* shownProgressDialog() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QProgressDialog*>(window); dialog && dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

QStringList checkedButtons(QWidget* form) {
    QStringList names;
    for (const QRadioButton* button : form->findChildren<QRadioButton*>()) {
        if (button->isChecked()) {
            names << button->objectName();
        }
    }
    return names;
}

QStringList shownUnits(QWidget* form) {
    QStringList labels;
    for (const QRadioButton* button :
         control<QWidget>(form, "CellUnit")->findChildren<QRadioButton*>()) {
        if (!button->isHidden()) {
            labels << button->text();
        }
    }
    return labels;
}

QString label(QWidget* form, const char* name) {
    return control<QLabel>(form, name)->text();
}

}  // namespace

class RoadMapDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void optionsStartAtDriveDistanceAndMetresAndReadWell() {
        ScriptedPrompts prompts;
        TRoadMapOptionsForm form(prompts);
        QCOMPARE(form.windowTitle(), QStringLiteral("VELMORA Road Map Options"));
        QCOMPARE(checkedButtons(&form), QStringList({"Drive", "Distance", "Metres"}));
        QCOMPARE(shownUnits(&form), QStringList({"&Metres", "&Kilometres", "M&iles"}));
        QCOMPARE(label(&form, "SpeedsFile"), QStringLiteral("Default speeds"));
        QVERIFY(!control<QWidget>(&form, "ChooseSpeeds")->isEnabled());
        RoadMapChoice walkInMiles;
        walkInMiles.settings.mode = TravelMode::Walk;
        walkInMiles.settings.unit = RoadUnit::Miles;
        form.setChoice(walkInMiles);
        QCOMPARE(checkedButtons(&form), QStringList({"Walk", "Distance", "Miles"}));
        QCOMPARE(form.choice().settings.unit, RoadUnit::Miles);
        QVERIFY(control<QPushButton>(&form, "OkButton")->isDefault());
        form.show();
        QCOMPARE(controlsWithoutAUsefulName(&form), QStringList());
        QCOMPARE(hardToReadTexts(&form), QStringList());
    }

    // Travel time brings its units, minutes first, and the speeds; a speeds file is read when
    // chosen, refused with its line, and cleared back to the defaults.
    void theMeasureBringsItsUnitsAndTheSpeeds() {
        TempDir dir;
        ScriptedPrompts prompts;
        TRoadMapOptionsForm form(prompts);
        control<QRadioButton>(&form, "TravelTime")->click();
        QCOMPARE(checkedButtons(&form), QStringList({"Drive", "TravelTime", "Minutes"}));
        QCOMPARE(shownUnits(&form), QStringList({"&Seconds", "Mi&nutes", "&Hours"}));
        QVERIFY(control<QWidget>(&form, "ChooseSpeeds")->isEnabled());
        QVERIFY(!control<QWidget>(&form, "ClearSpeeds")->isEnabled());
        const std::string bad = dir.write("bad.txt", "walk 4\nwalk 6\n");
        const std::string good = dir.write("calibrated speeds.txt", "primary 45\n");
        prompts.openDialog(bad)
            .box(BoxType::Error,
                 "File [" + bad +
                     "] line 2: The speed for walk is given again: it was given on "
                     "line 1",
                 Buttons::Ok)
            .openDialog(good);
        control<QPushButton>(&form, "ChooseSpeeds")->click();
        QCOMPARE(label(&form, "SpeedsFile"), QStringLiteral("Default speeds"));
        control<QPushButton>(&form, "ChooseSpeeds")->click();
        VERIFY_PROMPTS(prompts);
        QCOMPARE(label(&form, "SpeedsFile"), QStringLiteral("calibrated speeds.txt"));
        QCOMPARE(form.choice().speedsFile, good);
        QCOMPARE(form.choice().settings.speeds.drive[*driveHighwayIndex("primary")], 45.0);
        control<QPushButton>(&form, "ClearSpeeds")->click();
        QCOMPARE(label(&form, "SpeedsFile"), QStringLiteral("Default speeds"));
        QCOMPARE(form.choice().speedsFile, std::string());
        QCOMPARE(form.choice().settings.speeds.drive[*driveHighwayIndex("primary")], 60.0);
    }

    void unreachablePairsGetAWholeNumberOrNothing() {
        ScriptedPrompts prompts;
        TRoadMapOptionsForm form(prompts);
        auto* value = control<QLineEdit>(&form, "UnreachableValue");
        QCOMPARE(label(&form, "Label3"), QStringLiteral("Unreachable pairs get:"));
        const QString range = QStringLiteral("' is not a whole number from ") +
                              localized("-2,147,483,648") + QStringLiteral(" to ") +
                              localized("2,147,483,647");
        for (const QString& refused : {QStringLiteral("1.5"), QStringLiteral("2147483648")}) {
            value->setText(refused);
            prompts.box(BoxType::Error,
                        ("Unreachable pairs get: '" + refused + range).toStdString(), Buttons::Ok);
            control<QPushButton>(&form, "OkButton")->click();
            VERIFY_PROMPTS(prompts);
            QCOMPARE(form.result(), int(QDialog::Rejected));
        }
        value->setText(QStringLiteral(" -7 "));
        control<QPushButton>(&form, "OkButton")->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.choice().settings.unreachableValue, std::optional<int32_t>(-7));
        value->clear();
        control<QPushButton>(&form, "OkButton")->click();
        QCOMPARE(form.choice().settings.unreachableValue, std::optional<int32_t>());
    }

    void theFirstControlIsDrawnWithTheKeyboardBeforeAnyTab() {
        ScriptedPrompts prompts;
        TRoadMapOptionsForm form(prompts);
        QVERIFY(activate(&form));
        QCOMPARE(QApplication::focusWidget(), control<QWidget>(&form, "Drive"));
        QVERIFY(drawnAsFocused(QApplication::focusWidget()));
    }

    void optionsReadWellUnderADarkPalette() {
        DarkPalette dark;
        ScriptedPrompts prompts;
        TRoadMapOptionsForm form(prompts);
        form.show();
        QCOMPARE(hardToReadTexts(&form), QStringList());
        QCOMPARE(indicatorsHardToTell(&form), QStringList());
        QCOMPARE(controlsAcrossFrames(&form), QStringList());
    }

    void aShortTaskShowsNoProgressDialog() {
        QtPrompts prompts;
        bool ran = false;
        QVERIFY(prompts.runTask("VELMORA Road Distances", [&](TaskProgress& progress) {
            progress.stage("Reading the road map", 0);
            ran = !progress.cancelled();
        }));
        QVERIFY(ran);
        QVERIFY(!shownProgressDialog());
    }

    void aLongTaskShowsItsProgressAndCanBeCancelled() {
        QtPrompts prompts;
        QString title;
        QString text;
        QString barName;
        bool modal = false;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, this, [&] {
            QProgressDialog* dialog = shownProgressDialog();
            if (!dialog || dialog->labelText().isEmpty()) {
                return;
            }
            poll.stop();
            title = dialog->windowTitle();
            text = dialog->labelText();
            barName = accessibleName(dialog->findChild<QProgressBar*>());
            modal = dialog->isModal();
            QPushButton* cancel = dialog->findChild<QPushButton*>();
            QVERIFY(cancel);
            QCOMPARE(cancel->text(), QStringLiteral("&Cancel"));
            cancel->click();
        });
        poll.start();
        QVERIFY(!prompts.runTask("VELMORA Road Distances", untilCancelled));
        QCOMPARE(title, QStringLiteral("VELMORA Road Distances"));
        QCOMPARE(text, QStringLiteral("Computing road distances"));
        QCOMPARE(barName, text);
        QVERIFY(modal);
        QVERIFY(!shownProgressDialog());
    }

    void theProgramEndsOnExitWhateverItsTaskIsDoing() {
        QProcess program;
        program.start(QStringLiteral(VELMORA_EXIT_DURING_TASK), QStringList());
        const bool ended = program.waitForFinished(30000);
        if (!ended) {
            program.kill();
            program.waitForFinished();
        }
        QVERIFY2(ended, "the program stayed alive after its exit");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

    void whatTheTaskThrowsReachesTheCaller() {
        QtPrompts prompts;
        QVERIFY_THROWS_EXCEPTION(
            RoadError, prompts.runTask("VELMORA Road Distances",
                                       [](TaskProgress&) { throw RoadError("no roads"); }));
    }
};

VELMORA_TEST_MAIN(RoadMapDialogsTest)
#include "RoadMapDialogsTest.moc"
