#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <chrono>
#include <thread>

#include "loading/RoadMapOptions.h"
#include "platform/qt/QtPrompts.h"
#include "roads/RoadError.h"
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

}  // namespace

class RoadMapDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void optionsStartAtDriveAndMetresAndReadWell() {
        TRoadMapOptionsForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("VELMORA Road Map Options"));
        QVERIFY(control<QRadioButton>(&form, "Drive")->isChecked());
        QVERIFY(control<QRadioButton>(&form, "Metres")->isChecked());
        QCOMPARE(form.choice().mode, TravelMode::Drive);
        QCOMPARE(form.choice().unit, RoadUnit::Metres);
        form.setChoice({TravelMode::Walk, RoadUnit::Miles});
        QVERIFY(control<QRadioButton>(&form, "Walk")->isChecked());
        QVERIFY(control<QRadioButton>(&form, "Miles")->isChecked());
        QCOMPARE(form.choice().unit, RoadUnit::Miles);
        QVERIFY(control<QPushButton>(&form, "OkButton")->isDefault());
        form.show();
        QCOMPARE(controlsWithoutAUsefulName(&form), QStringList());
        QCOMPARE(hardToReadTexts(&form), QStringList());
    }

    void optionsReadWellUnderADarkPalette() {
        DarkPalette dark;
        TRoadMapOptionsForm form;
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
        QVERIFY(modal);
        QVERIFY(!shownProgressDialog());
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
