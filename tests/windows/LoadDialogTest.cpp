#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "app/Velmora.h"
#include "app/VelmoraProgram.h"
#include "loading/LoadDataVelmora.h"
#include "platform/RunTimeError.h"
#include "store/DataStore.h"
#include "tests/support/FifoReaderWatch.h"
#include "tests/support/RoadMaps.h"
#include "tests/support/TestFiles.h"
#include "tests/windows/WindowTestSupport.h"

namespace {

const char* const StepControls[] = {"DistanceMetric",  "SpecifyDemand",    "PercentDem1",
                                    "ExtraSites",      "DistFileCreation", "SpecifyDistanceFile",
                                    "ExitAndLoadData", "CancelButton"};
const char* const InformationLabels[] = {"DataFileToRead", "NoNodesRead", "ExtraFileToRead",
                                         "NoNodesReadExtra", "DistFileToRead"};
const std::string DistanceFilter =
    "Euclidean Distance File|*.eud|Great Circle Distance File|*.grd|Manhattan Distance "
    "File|*.mad|Network Distance File|*.ned|All Files|*.*";
const std::string SaveQuestion = "Do you want to save distances?";
const std::string Incompatible = "Number of Distances Incompatible with Input Files";

std::string nodeLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += std::to_string(i) + " " + std::to_string(i) + " 0 1 1 1\r\n";
    }
    return text;
}

std::string valueLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "1\r\n";
    }
    return text;
}

// A node line at the place, its numbers written with the locale's decimal separator.
std::string placeLine(int id, const MapPlace& place) {
    return nodeLine(id, place, localized("0.5").at(1).toLatin1());
}

// Answers the road-map options dialog that the next handler opens with these keys, each
// typed into the control that has the focus. A dialog the keys leave open is cancelled and
// counted in `leftOpen`, so a fault fails the test instead of hanging it.
void answerRoadMapOptions(QList<QKeyCombination> keys, int& leftOpen, int attempts = 200) {
    QTimer::singleShot(5, [keys, &leftOpen, attempts] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("RoadMapOptionsForm")) {
            if (attempts > 0) {
                answerRoadMapOptions(keys, leftOpen, attempts - 1);
            }
            return;
        }
        // Keys move the focus as a user's do only once the dialog has the keyboard.
        if (!QTest::qWaitForWindowActive(dialog)) {
            ++leftOpen;
            dialog->reject();
            return;
        }
        for (const QKeyCombination& key : keys) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : dialog;
            QTest::keyClick(target, key.key(), key.keyboardModifiers());
            // A mnemonic clicks its button a moment later.
            if (key.keyboardModifiers() & Qt::AltModifier) {
                QTest::qWait(200);
            }
        }
        if (dialog->isVisible()) {
            ++leftOpen;
            dialog->reject();
        }
    });
}

}  // namespace

class LoadDialogTest : public WindowTest {
    Q_OBJECT

private slots:
    void init() {
        WindowTest::init();
        form = &start().LoadDataVelmoraForm();
    }

    void openingOffersOnlyTheMetricAndCancel() {
        program->VelmoraMain().setMatrixCommandsEnabled(true);
        store->DemandFileName = "old.EUC";
        store->NodeTable.create(1);
        store->NodeCount = 1;
        form->show();
        QCOMPARE(enabledSteps(), QStringList({"DistanceMetric", "CancelButton"}));
        QCOMPARE(visibleLabels(), QStringList());
        QVERIFY(control<QWidget>(form, "SampleDemandData")->isHidden());
        QCOMPARE(store->NodeCount, uint16_t{0});
        QVERIFY(!store->NodeTable.holds(1));
        QCOMPARE(store->DemandFileName, std::string());
        QVERIFY(!control<QPushButton>(&program->VelmoraMain(), "ModifyDist")->isEnabled());
        QVERIFY(!control<QPushButton>(&program->VelmoraMain(), "SingleElement")->isEnabled());
        QCOMPARE(control<QScrollBar>(form, "PercentDem1")->value(), 100);
        QCOMPARE(form->size(), QSize(489, 427));
        // The metric group holds the keyboard and shows it before any Tab.
        QVERIFY(activate(form));
        QCOMPARE(QApplication::focusWidget(), control<QWidget>(form, "Euclidean"));
        QVERIFY(drawnAsFocused(QApplication::focusWidget()));
    }

    void metricFixesExtensionFiltersAndDefaultExtensions() {
        form->show();
        control<QRadioButton>(form, "GreatCircle")->click();
        QCOMPARE(store->MetricCode, 'G');
        QCOMPARE(store->DataFileExt, std::string(".GRT"));
        QCOMPARE(enabledSteps(), QStringList({"SpecifyDemand", "CancelButton"}));
        prompts->openDialog({});
        control<QPushButton>(form, "SpecifyDemand")->click();
        VERIFY_PROMPTS(*prompts);
        const FileDialogSettings& demand = prompts->dialogsRun().at(0);
        QCOMPARE(demand.filterIndex, 2);
        QCOMPARE(demand.defaultExt, std::string("GRD"));
        QCOMPARE(demand.filter,
                 std::string("Euclidean Distance  Data File|*.euc|Great Circle Distance Data "
                             "File|*.grt|Manhattan Distance Data File|*.man|Network Distance "
                             "Data File|*.net|All Files|*.*|GIS Layers|"
                             "*.gpkg;*.shp;*.geojson;*.json;*.fgb;*.kml;*.csv"));
        // Cancelled: the demand file can be chosen again.
        QCOMPARE(enabledSteps(), QStringList({"SpecifyDemand", "CancelButton"}));
    }

    void demandFileShowsItsNameCountNamesAndFirstLine() {
        const std::string demand =
            dir->write("d.EUC", "1 10.5 20 100 50 3 Main Street Depot\r\n2 0 0 1 1 1\r\n\r\n");
        chooseDemand(0, demand);
        QCOMPARE(label("DataFileToRead"), QStringLiteral("File to Read = d.EUC"));
        QCOMPARE(label("NoNodesRead"), QStringLiteral("3 Nodes in file with names"));
        QCOMPARE(visibleLabels(), QStringList({"DataFileToRead", "NoNodesRead"}));
        QCOMPARE(sample(),
                 QStringLiteral("Line 1 (Dem. Node File) = 1 10.5 20 100 50 3 Main Street Depot"));
        QCOMPARE(label("ScrollBarLabel"), QStringLiteral("Specify Weight on Demand 1 (W=1)"));
        QCOMPARE(enabledSteps(),
                 QStringList({"PercentDem1", "ExtraSites", "DistFileCreation", "CancelButton"}));
        QCOMPARE(store->DemandFileName, demand);
        QCOMPARE(form->DemandLineCount(), 3);
        QCOMPARE(std::filesystem::current_path().string(), dir->path());
    }

    void weightLabelFollowsTheScrollBar() {
        chooseDemand(0, dir->write("d.EUC", nodeLines(2)));
        control<QScrollBar>(form, "PercentDem1")->setValue(37);
        QCOMPARE(label("ScrollBarLabel"),
                 QStringLiteral("Specify Weight on Demand 1 (W=") + localized("0.37") + ')');
        control<QScrollBar>(form, "PercentDem1")->setValue(50);
        QCOMPARE(label("ScrollBarLabel"),
                 QStringLiteral("Specify Weight on Demand 1 (W=") + localized("0.5") + ')');
    }

    void theWeightIsReachedWithTabAndMovedWithArrows() {
        chooseDemand(0, dir->write("d.EUC", nodeLines(2)));
        QVERIFY(activate(form));
        QWidget* extraSites = control<QWidget>(form, "ExtraSites");
        extraSites->setFocus(Qt::TabFocusReason);
        QTest::keyClick(extraSites, Qt::Key_Tab);
        QScrollBar* weight = control<QScrollBar>(form, "PercentDem1");
        QCOMPARE(QApplication::focusWidget(), weight);
        QVERIFY(drawnAsFocused(weight));
        QTest::keyClick(weight, Qt::Key_Left);
        QTest::keyClick(weight, Qt::Key_Left);
        QCOMPARE(weight->value(), 98);
        QTest::keyClick(weight, Qt::Key_Right);
        QCOMPARE(weight->value(), 99);
        QCOMPARE(label("ScrollBarLabel"),
                 QStringLiteral("Specify Weight on Demand 1 (W=") + localized("0.99") + ')');
        QCOMPARE(controlsWithoutAUsefulName(form), QStringList());
    }

    // Network distances come from a file or a road map, never from the coordinates: Compute
    // Distances is never available, whatever the user does after choosing the demand file.
    void networkDistancesCanOnlyBeRead() {
        QRadioButton* compute = control<QRadioButton>(form, "ComputeDistances");
        QRadioButton* read = control<QRadioButton>(form, "ReadDistanceFile");
        chooseDemand(3, dir->write("d.NET", nodeLines(2)));
        QVERIFY(read->isChecked());
        QVERIFY(!compute->isEnabled());
        QVERIFY(control<QRadioButton>(form, "RoadMap")->isEnabled());
        QCOMPARE(enabledSteps(), QStringList({"PercentDem1", "ExtraSites", "DistFileCreation",
                                              "SpecifyDistanceFile", "CancelButton"}));

        prompts->openDialog(dir->write("s.NET", "1 0 0 x x 1\r\n"));
        control<QPushButton>(form, "ExtraSites")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(read->isChecked());
        QVERIFY(!compute->isEnabled());
        QCOMPARE(enabledSteps(), QStringList({"PercentDem1", "ExtraSites", "DistFileCreation",
                                              "SpecifyDistanceFile", "CancelButton"}));
        QVERIFY(control<QWidget>(form, "SpecifyDistanceFile")->isEnabled());
        QVERIFY(!control<QWidget>(form, "ExitAndLoadData")->isEnabled());

        // A cancelled distance-file choice leaves the way to another one open.
        prompts->openDialog({});
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(read->isChecked());
        QVERIFY(!compute->isEnabled());
        QVERIFY(control<QWidget>(form, "SpecifyDistanceFile")->isEnabled());
        QVERIFY(!control<QWidget>(form, "ExitAndLoadData")->isEnabled());

        // So does a refused one: 3 nodes need 9 lines.
        prompts->openDialog(dir->write("short.NED", "0\r\n1\r\n"))
            .box(BoxType::Error, "Number of Distances Incompatible with Input Files", Buttons::Ok);
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(read->isChecked());
        QVERIFY(!compute->isEnabled());
        QVERIFY(control<QWidget>(form, "SpecifyDistanceFile")->isEnabled());
        QVERIFY(!control<QWidget>(form, "ExitAndLoadData")->isEnabled());
    }

    void demandFilesAtTheNodeLimit() {
        chooseDemand(0, dir->write("full.EUC", nodeLines(901)));
        QVERIFY(!control<QWidget>(form, "ExtraSites")->isEnabled());

        form->hide();
        chooseDemand(0, dir->write("almost.EUC", nodeLines(900)));
        QVERIFY(control<QWidget>(form, "ExtraSites")->isEnabled());
        prompts->openDialog(dir->write("two.EUC", nodeLines(2)))
            .box(BoxType::Error, "Too Many Total Nodes ... Extra Sites Ignored.", Buttons::Ok);
        control<QPushButton>(form, "ExtraSites")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->CandidateFileName, std::string());
        QCOMPARE(form->CandidateLineCount(), 0);
        QCOMPARE(visibleLabels(), QStringList({"DataFileToRead", "NoNodesRead"}));

        prompts->openDialog(dir->write("one.EUC", nodeLines(1)));
        control<QPushButton>(form, "ExtraSites")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->CandidateFileName, dir->file("one.EUC"));
        QCOMPARE(label("NoNodesReadExtra"), QStringLiteral("1 Nodes in file without names"));
        QCOMPARE(label("ExtraFileToRead"), QStringLiteral("File to Read = one.EUC"));
    }

    void candidateSampleLineComesAndGoes() {
        chooseDemand(0, dir->write("d.EUC", nodeLines(2)));
        const QString demandLine = sample();
        prompts->openDialog({});
        control<QPushButton>(form, "ExtraSites")->click();
        QCOMPARE(sample(), demandLine);
        prompts->openDialog(dir->write("s.EUC", "7 1 1 x x 1 Depot\r\n"));
        control<QPushButton>(form, "ExtraSites")->click();
        QCOMPARE(sample(),
                 demandLine + QStringLiteral("\nLine 1 (Cand Site File) = 7 1 1 x x 1 Depot"));
        QCOMPARE(label("NoNodesReadExtra"), QStringLiteral("1 Nodes in file with names"));
        prompts->openDialog({});
        control<QPushButton>(form, "ExtraSites")->click();
        QCOMPARE(sample(), demandLine);
        QVERIFY(control<QWidget>(form, "NoNodesReadExtra")->isHidden());
        VERIFY_PROMPTS(*prompts);
    }

    void candidateSitesAfterComputeAskHowAgain() {
        chooseDemand(0, dir->write("d.EUC", nodeLines(2)));
        control<QRadioButton>(form, "ComputeDistances")->click();
        QCOMPARE(enabledSteps(), QStringList({"PercentDem1", "ExtraSites", "DistFileCreation",
                                              "ExitAndLoadData", "CancelButton"}));
        prompts->openDialog(dir->write("s.EUC", nodeLines(1)));
        control<QPushButton>(form, "ExtraSites")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(!control<QRadioButton>(form, "ComputeDistances")->isChecked());
        QVERIFY(!control<QRadioButton>(form, "ReadDistanceFile")->isChecked());
        QVERIFY(!control<QWidget>(form, "ExitAndLoadData")->isEnabled());
    }

    void distanceFileMustHoldNSquaredLines() {
        chooseDemand(0, dir->write("d.EUC", nodeLines(2)));
        prompts->openDialog(dir->write("s.EUC", nodeLines(1)));
        control<QPushButton>(form, "ExtraSites")->click();
        control<QRadioButton>(form, "ReadDistanceFile")->click();
        QCOMPARE(enabledSteps(), QStringList({"PercentDem1", "ExtraSites", "DistFileCreation",
                                              "SpecifyDistanceFile", "CancelButton"}));
        for (int lines : {8, 10}) {
            prompts->openDialog(dir->write("x.EUD", valueLines(lines)))
                .box(BoxType::Error, Incompatible, Buttons::Ok);
            control<QPushButton>(form, "SpecifyDistanceFile")->click();
            VERIFY_PROMPTS(*prompts);
            QVERIFY(!control<QWidget>(form, "ExitAndLoadData")->isEnabled());
            QVERIFY(control<QWidget>(form, "DistFileToRead")->isHidden());
            QVERIFY(control<QWidget>(form, "SpecifyDistanceFile")->isEnabled());
            QVERIFY(control<QWidget>(form, "ExtraSites")->isEnabled());
        }
        prompts->openDialog(dir->write("x.EUD", valueLines(9)));
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(label("DistFileToRead"), QStringLiteral("File to Read = x.EUD"));
        QCOMPARE(enabledSteps(),
                 QStringList({"PercentDem1", "DistFileCreation", "SpecifyDistanceFile",
                              "ExitAndLoadData", "CancelButton"}));
        QCOMPARE(store->DistanceFileName, dir->file("x.EUD"));
    }

    void choosingTheChosenItemAgainChangesNothing() {
        chooseDemand(0, dir->write("d.EUC", nodeLines(2)));
        control<QRadioButton>(form, "ReadDistanceFile")->click();
        prompts->openDialog(dir->write("x.EUD", valueLines(4)));
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        QVERIFY(control<QWidget>(form, "ExitAndLoadData")->isEnabled());
        control<QRadioButton>(form, "ReadDistanceFile")->click();
        QVERIFY(control<QWidget>(form, "ExitAndLoadData")->isEnabled());
        QCOMPARE(store->DistanceFileName, dir->file("x.EUD"));
        VERIFY_PROMPTS(*prompts);
    }

    void aTypedNameOfAMissingFileIsRefusedAndAskedAgain() {
        form->show();
        control<QRadioButton>(form, "Euclidean")->click();
        const std::string missing = dir->file("nothing.EUD");
        prompts->openDialog(missing)
            .box(BoxType::Error, "File [" + missing + "] does not exist... Try again.", Buttons::Ok)
            .openDialog({});
        control<QPushButton>(form, "SpecifyDemand")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->DemandFileName, std::string());
        QVERIFY(prompts->dialogsRun().at(1).fileName.empty());
    }

    // Reading a pipe or a device waits for a writer that may never come: anything but a
    // regular file (a link to one is followed) is refused when it is chosen, never opened.
    void aPipeOrDeviceChosenIsRefusedAndNeverOpened() {
        const std::string fifo = dir->file("fifo.EUC");
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        const std::string link = dir->file("link.NED");
        QCOMPARE(::symlink(fifo.c_str(), link.c_str()), 0);
        const FifoReaderWatch watch(fifo);
        form->show();
        control<QRadioButton>(form, "Network")->click();
        prompts->openDialog(fifo)
            .box(BoxType::Error, "File [" + fifo + "] is not a regular file... Try again.",
                 Buttons::Ok)
            .openDialog("/dev/zero")
            .box(BoxType::Error, "File [/dev/zero] is not a regular file... Try again.",
                 Buttons::Ok)
            .openDialog(dir->write("d.NET", nodeLines(2)));
        control<QPushButton>(form, "SpecifyDemand")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->DemandFileName, dir->file("d.NET"));
        prompts->openDialog(link)
            .box(BoxType::Error, "File [" + link + "] is not a regular file... Try again.",
                 Buttons::Ok)
            .openDialog({});
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->DistanceFileName, std::string());
        QVERIFY(!control<QPushButton>(form, "ExitAndLoadData")->isEnabled());
        QVERIFY2(!watch.readerSeen(), "the pipe was opened for reading");
    }

    // A name or a line that reorders the text around it, or drives a terminal, is shown, not
    // obeyed.
    void controlsInNamesAndLinesAreShownNotObeyed() {
        const std::string name =
            "report\xe2\x80\xae"
            "CUE.EUC";
        chooseDemand(0, dir->write(name,
                                   "1 0 0 1 1 1 \xe2\x81\xa7"
                                   "Depot\xc2\x9b\r\n"));
        QCOMPARE(label("DataFileToRead"), QStringLiteral("File to Read = report\uFFFDCUE.EUC"));
        QVERIFY2(sample().endsWith(QStringLiteral("1 0 0 1 1 1 \uFFFDDepot\uFFFD")),
                 qPrintable(sample()));
        QVERIFY(plainToolTip("DataFileToRead").endsWith(QStringLiteral("report\uFFFDCUE.EUC")));
    }

    void cancelReturnsWithNoDataAndTheMatrixButtonsOff() {
        chooseDemand(0, dir->write("d.EUC", nodeLines(2)));
        QSignalSpy mainWindow(form, &TLoadDataVelmoraForm::showMainWindow);
        control<QPushButton>(form, "CancelButton")->click();
        QVERIFY(!form->isVisible());
        QCOMPARE(mainWindow.count(), 1);
        QVERIFY(program->VelmoraMain().isVisible());
        QCOMPARE(store->NodeCount, uint16_t{0});
        QVERIFY(!control<QPushButton>(&program->VelmoraMain(), "ModifyDist")->isEnabled());
    }

    void euclideanLoadComputesSavesAndHandsBack() {
        chooseDemand(0, dir->write("d.EUC", "1 0 0 1 1 1\r\n2 3 4 1 1 1\r\n"));
        control<QRadioButton>(form, "ComputeDistances")->click();
        const std::string out = dir->file("out.EUD");
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes).saveDialog(out);
        store->MatrixSaved = false;
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(readBytes(out), std::string("0\r\n5\r\n5\r\n0\r\n"));
        QCOMPARE(store->DistanceMatrix[1][2], 5);
        QCOMPARE(store->DistanceMatrix[2][1], 5);
        QCOMPARE(store->DistanceMatrix[2][2], 0);
        QCOMPARE(store->DistanceFileName, out);
        QVERIFY(store->MatrixSaved);
        QVERIFY(!form->isVisible());
        QVERIFY(program->VelmoraMain().isVisible());
        QVERIFY(control<QPushButton>(&program->VelmoraMain(), "ModifyDist")->isEnabled());
        QVERIFY(control<QPushButton>(&program->VelmoraMain(), "SingleElement")->isEnabled());
        const FileDialogSettings& save = prompts->dialogsRun().back();
        QCOMPARE(save.filter, DistanceFilter);
        QCOMPARE(save.filterIndex, 1);
        QCOMPARE(save.defaultExt, std::string("EUD"));
    }

    void decliningToReplaceAndThenToSaveLoadsWithoutWriting() {
        chooseDemand(2, dir->write("d.MAN", nodeLines(3)));
        control<QRadioButton>(form, "ComputeDistances")->click();
        const std::string existing = dir->write("old.MAD", "keep\r\n");
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
            .saveDialog(existing)
            .box(BoxType::Confirm, "File [" + existing + "] exists.... Do you want to replace it?",
                 Buttons::YesNo, Answer::No)
            .box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::No);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(readBytes(existing), std::string("keep\r\n"));
        QCOMPARE(store->DistanceFileName, std::string());
        QCOMPARE(store->NodeCount, uint16_t{3});
        QVERIFY(control<QPushButton>(&program->VelmoraMain(), "ModifyDist")->isEnabled());
    }

    void readDistancesAreTakenAsTheyStand() {
        chooseDemand(3, dir->write("d.NET", nodeLines(2)));
        prompts->openDialog(dir->write("d.NED", "0\r\n7\r\n-5\r\n0\r\n"));
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->DistanceMatrix[2][1], 7);
        QCOMPARE(store->DistanceMatrix[1][2], -5);
        QVERIFY(!form->isVisible());
    }

    void aDistanceFileThatRunsOutStopsTheLoad() {
        chooseDemand(3, dir->write("d.NET", nodeLines(2)));
        prompts->openDialog(dir->write("d.NED", "0\r\n\r\n7\r\n5\r\n"))
            .box(BoxType::Error, Incompatible, Buttons::Ok);
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(form->isVisible());
        QVERIFY(control<QWidget>(form, "ExitAndLoadData")->isEnabled());
        QVERIFY(!control<QPushButton>(&program->VelmoraMain(), "ModifyDist")->isEnabled());
    }

    void aBadFieldStopsTheLoadWithTheDialogOpen() {
        chooseDemand(0, dir->write("d.EUC", "1 0 0 1 1 1\r\n2 0 zero 1 1 1\r\n"));
        control<QRadioButton>(form, "ComputeDistances")->click();
        QVERIFY_THROWS_EXCEPTION(ConversionError,
                                 control<QPushButton>(form, "ExitAndLoadData")->click());
        QVERIFY(form->isVisible());
        QVERIFY(control<QWidget>(form, "ExitAndLoadData")->isEnabled());
        QCOMPARE(store->NodeCount, uint16_t{2});
        QVERIFY(!control<QPushButton>(&program->VelmoraMain(), "ModifyDist")->isEnabled());
    }

    void aSaveThatCannotBeCreatedStopsBeforeTheHandBack() {
        chooseDemand(0, dir->write("d.EUC", nodeLines(2)));
        control<QRadioButton>(form, "ComputeDistances")->click();
        store->MatrixSaved = false;
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
            .saveDialog(dir->file("missing/out.EUD"));
        QVERIFY_THROWS_EXCEPTION(InOutError,
                                 control<QPushButton>(form, "ExitAndLoadData")->click());
        VERIFY_PROMPTS(*prompts);
        QVERIFY(form->isVisible());
        QVERIFY(!store->MatrixSaved);
        QVERIFY(!control<QPushButton>(&program->VelmoraMain(), "ModifyDist")->isEnabled());
        QCOMPARE(store->DistanceFileName, std::string());

        // Pressing the button again repeats the load: it computes and offers the save again.
        const std::string out = dir->file("out.EUD");
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes).saveDialog(out);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(readBytes(out), std::string("0\r\n1\r\n1\r\n0\r\n"));
        QCOMPARE(store->DistanceFileName, out);
        QVERIFY(store->MatrixSaved);
        QVERIFY(!form->isVisible());
    }

    // Every file choice moves the current folder; the load must still open the files the
    // user chose, not same-named ones in whatever folder is current.
    void filesFromDifferentFoldersLoadTheFilesChosen() {
        std::filesystem::create_directory(dir->file("A"));
        std::filesystem::create_directory(dir->file("B"));
        const std::string demand = dir->write("A/nodes.EUC", "1 0 0 1 1 1\r\n2 3 4 1 1 1\r\n");
        dir->write("B/nodes.EUC", "1 100 100 1 1 1\r\n");
        const std::string sites = dir->write("B/sites.EUC", "3 6 8 x x 1\r\n");
        chooseDemand(0, demand);
        prompts->openDialog(sites);
        control<QPushButton>(form, "ExtraSites")->click();
        QCOMPARE(std::filesystem::current_path().string(), dir->file("B"));
        QCOMPARE(label("DataFileToRead"), QStringLiteral("File to Read = nodes.EUC"));
        QCOMPARE(label("ExtraFileToRead"), QStringLiteral("File to Read = sites.EUC"));
        control<QRadioButton>(form, "ComputeDistances")->click();
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::No);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->NodeCount, uint16_t{3});
        QCOMPARE(store->DistanceMatrix[1][2], 5);
        QCOMPARE(store->DistanceMatrix[1][3], 10);
        QCOMPARE(store->DistanceMatrix[2][3], 5);
        QCOMPARE(plainToolTip("DataFileToRead"),
                 QString::fromStdString("Name of the demand data file read\n" + demand));
        QCOMPARE(plainToolTip("ExtraFileToRead"),
                 QString::fromStdString("Name of the additional candidate sites file\n" + sites));
    }

    void filesStillLoadAfterTheCurrentFolderMoves() {
        std::filesystem::create_directory(dir->file("nodes"));
        std::filesystem::create_directory(dir->file("distances"));
        chooseDemand(3, dir->write("nodes/d.NET", nodeLines(2)));
        const std::string distances = dir->write("distances/d.NED", "0\r\n7\r\n5\r\n0\r\n");
        prompts->openDialog(distances);
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        QCOMPARE(label("DistFileToRead"), QStringLiteral("File to Read = d.NED"));
        std::filesystem::current_path(dir->path());
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(!form->isVisible());
        QCOMPARE(store->DistanceMatrix[2][1], 7);
        QCOMPARE(store->DistanceMatrix[1][2], 5);
        QCOMPARE(store->DistanceFileName, distances);
    }

    void aLongFileNameIsShortenedInTheMiddle() {
        const std::string name = "start" + std::string(150, 'x') + "end.EUC";
        chooseDemand(0, dir->write(name, nodeLines(1)));
        QLabel* shown = control<QLabel>(form, "DataFileToRead");
        QVERIFY(shown->text().startsWith(QStringLiteral("File to Read = start")));
        QVERIFY(shown->text().endsWith(QStringLiteral("end.EUC")));
        QVERIFY(shown->text().contains(QChar(0x2026)));
        QVERIFY(shown->fontMetrics().horizontalAdvance(shown->text()) <=
                shown->contentsRect().width());
        QVERIFY(plainToolTip("DataFileToRead").endsWith(QString::fromStdString(dir->file(name))));
    }

    void aLongRoadMapNameKeepsTheWholeWidthAboveItsSettings() {
        const std::string name = "start" + std::string(150, 'x') + "end.osm.pbf";
        chooseDemand(3, dir->write("d.NET", placeLine(1, townPlaces()[0])));
        control<QRadioButton>(form, "RoadMap")->click();
        prompts->openDialog(dir->write(name, townMap().xml()));
        int leftOpen = 0;
        answerRoadMapOptions({QKeyCombination(Qt::Key_Return)}, leftOpen);
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        QLabel* shown = control<QLabel>(form, "DistFileToRead");
        const QStringList lines = shown->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].endsWith(QStringLiteral("end.osm.pbf")));
        const int width = shown->fontMetrics().horizontalAdvance(lines[0]);
        QVERIFY(width > shown->contentsRect().width() * 3 / 4);
        QVERIFY(width <= shown->contentsRect().width());
        QCOMPARE(lines[1], QStringLiteral("drive, road length, metres"));
        QVERIFY(shown->fontMetrics().lineSpacing() * 2 <= shown->contentsRect().height());
    }

    // A file name is shown as it is: markup in it is neither rendered nor followed, not
    // even to an image that would block the program while it is read.
    void markupInFileNamesIsShownAsText() {
        std::filesystem::create_directory(dir->file("sites"));
        const std::string fifo = dir->file("sites/pipe");
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        chooseDemand(0, dir->write("<font color=red>red.EUC", nodeLines(2)));
        prompts->openDialog(dir->write("sites/<img src=pipe>.EUC", nodeLines(1)));
        control<QPushButton>(form, "ExtraSites")->click();
        VERIFY_PROMPTS(*prompts);
        FifoReaderWatch watch(fifo);
        QLabel* demandLabel = control<QLabel>(form, "DataFileToRead");
        QLabel* sitesLabel = control<QLabel>(form, "ExtraFileToRead");
        const QImage demandImage = demandLabel->grab().toImage();
        sitesLabel->grab();
        QToolTip::showText(sitesLabel->mapToGlobal(QPoint(2, 2)), sitesLabel->toolTip(),
                           sitesLabel);
        QToolTip::hideText();
        QVERIFY2(!watch.readerSeen(), "a label tried to read the FIFO named in a file name");
        QCOMPARE(sitesLabel->text(), QStringLiteral("File to Read = <img src=pipe>.EUC"));
        QCOMPARE(demandLabel->text(), QStringLiteral("File to Read = <font color=red>red.EUC"));
        for (int y = 0; y < demandImage.height(); ++y) {
            for (int x = 0; x < demandImage.width(); ++x) {
                const QColor pixel = demandImage.pixelColor(x, y);
                QVERIFY2(!(pixel.red() > 160 && pixel.green() < 90 && pixel.blue() < 90),
                         "the demand file name was drawn in red");
            }
        }
    }

    void strangeFirstLinesAreShownHarmlessAndShort() {
        std::string first = std::string("1 2 3\x01\x1b[31m") + std::string("\xff\xfe", 2);
        first += std::string(5000, 'x');
        chooseDemand(0, dir->write("odd.EUC", first + "\r\n"));
        const QString shown = sample();
        QVERIFY(shown.size() < 400);
        QVERIFY(shown.endsWith(QStringLiteral("...")));
        for (QChar c : shown) {
            QVERIFY(c.category() != QChar::Other_Control);
        }
    }

    // A node file written between its choice and the load would load other nodes than the
    // dialog shows: it is refused as a file that cannot be used, and chosen again.
    void aNodeFileChangedSinceItWasChosenIsRefused() {
        const struct {
            const char* changed;
            QStringList enabled;
            QStringList labels;
        } cases[] = {
            {"d.EUC", {"SpecifyDemand", "CancelButton"}, {}},
            {"s.EUC",
             {"PercentDem1", "ExtraSites", "DistFileCreation", "CancelButton"},
             {"DataFileToRead", "NoNodesRead"}},
        };
        for (const auto& [changed, enabled, labels] : cases) {
            form->hide();
            chooseDemand(0, dir->write("d.EUC", nodeLines(2)));
            const QString demandSample = sample();
            prompts->openDialog(dir->write("s.EUC", nodeLines(1)));
            control<QPushButton>(form, "ExtraSites")->click();
            control<QRadioButton>(form, "ComputeDistances")->click();
            loadAfterWritingAgain(changed, nodeLines(3));
            QVERIFY(form->isVisible());
            QCOMPARE(store->NodeCount, uint16_t{0});
            QCOMPARE(enabledSteps(), enabled);
            QCOMPARE(visibleLabels(), labels);
            QCOMPARE(store->CandidateFileName, std::string());
            QVERIFY(!control<QRadioButton>(form, "ComputeDistances")->isChecked());
            QCOMPARE(sample(), labels.isEmpty() ? QString() : demandSample);
            QVERIFY(!control<QPushButton>(&program->VelmoraMain(), "ModifyDist")->isEnabled());
        }
        // Chosen again, the file loads as it now is.
        prompts->openDialog(dir->file("s.EUC"));
        control<QPushButton>(form, "ExtraSites")->click();
        control<QRadioButton>(form, "ComputeDistances")->click();
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::No);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->NodeCount, uint16_t{5});
        QVERIFY(!form->isVisible());
    }

    // The tip of a file name keeps each line whole, a path included, and assistive technology
    // reads its plain text rather than markup.
    void fileNameTipsKeepThePathWholeAndReadAsPlainText() {
        const std::string demand =
            dir->write("a-rather-long-demand-file-name-for-a-tip.EUC", nodeLines(2));
        chooseDemand(0, demand);
        QLabel* label = control<QLabel>(form, "DataFileToRead");
        QCOMPARE(label->accessibleDescription(),
                 QString::fromStdString("Name of the demand data file read\n" + demand));
        QCOMPARE(plainToolTip("DataFileToRead"), label->accessibleDescription());
        QVERIFY(activate(form));
        QToolTip::showText(label->mapToGlobal(QPoint(2, 2)), label->toolTip(), label);
        QLabel* tip = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->inherits("QTipLabel") && widget->isVisible()) {
                tip = qobject_cast<QLabel*>(widget);
            }
        }
        QVERIFY(tip);
        QVERIFY2(tip->contentsRect().width() >=
                     tip->fontMetrics().horizontalAdvance(QString::fromStdString(demand)),
                 qPrintable(QString::number(tip->width())));
        QVERIFY(tip->height() < 3 * tip->fontMetrics().lineSpacing() + 2 * tip->margin() + 8);
        QToolTip::hideText();
    }

    void theWeightGoesWithTheLoadedProblem() {
        chooseDemand(0, dir->write("d.EUC", nodeLines(2)));
        control<QScrollBar>(form, "PercentDem1")->setValue(37);
        control<QRadioButton>(form, "ComputeDistances")->click();
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::No);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->DemandWeightPercent, 37);
    }

    void roadMapIsOfferedOnlyForNetwork() {
        chooseDemand(0, dir->write("d.EUC", nodeLines(2)));
        QVERIFY(!control<QRadioButton>(form, "RoadMap")->isEnabled());
        QVERIFY(control<QRadioButton>(form, "ComputeDistances")->isEnabled());
        form->hide();
        chooseDemand(3, dir->write("d.NET", nodeLines(2)));
        QVERIFY(control<QRadioButton>(form, "RoadMap")->isEnabled());
        form->hide();
        chooseDemand(1, dir->write("d.GRT", nodeLines(2)));
        QVERIFY(!control<QRadioButton>(form, "RoadMap")->isEnabled());
    }

    // The town of the road tests: its first three places demand nodes, the fourth a site.
    void roadMapDistancesAreComputedSavedAndTheBatchCommandsOwn() {
        const std::vector<MapPlace> places = townPlaces();
        const std::string roads = dir->write("town.osm", townMap().xml());
        const std::string demand = dir->write(
            "d.NET", placeLine(1, places[0]) + placeLine(2, places[1]) + placeLine(3, places[2]));
        const std::string sites = dir->write("s.NET", placeLine(1, places[3]));
        chooseDemand(3, demand);
        prompts->openDialog(sites);
        control<QPushButton>(form, "ExtraSites")->click();
        control<QRadioButton>(form, "RoadMap")->click();
        QCOMPARE(enabledSteps(), QStringList({"PercentDem1", "ExtraSites", "DistFileCreation",
                                              "SpecifyDistanceFile", "CancelButton"}));
        chooseRoadMap(roads);
        VERIFY_PROMPTS(*prompts);
        const FileDialogSettings& open = prompts->dialogsRun().back();
        QCOMPARE(open.filter,
                 std::string("OpenStreetMap Files|*.osm.pbf;*.osm;*.osm.bz2;*.osm.gz|All "
                             "Files|*.*"));
        QCOMPARE(open.filterIndex, 1);
        QCOMPARE(label("DistFileToRead"),
                 QStringLiteral("File to Read = town.osm\ndrive, road length, metres"));
        QVERIFY(!control<QWidget>(form, "DistFileToRead")->isHidden());
        QCOMPARE(enabledSteps(),
                 QStringList({"PercentDem1", "ExtraSites", "DistFileCreation",
                              "SpecifyDistanceFile", "ExitAndLoadData", "CancelButton"}));
        QCOMPARE(store->DistanceFileName, std::string());

        const std::string out = dir->file("town.NED");
        prompts->progress("VELMORA Road Distances")
            .box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
            .saveDialog(out);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(prompts->stagesShown(), std::vector<std::string>({"Reading the road map/1000",
                                                                   "Computing road distances/4"}));
        const auto metres = townDriveMetres();
        QCOMPARE(readBytes(out), distanceFileBytes(metres));
        QCOMPARE(store->NodeCount, uint16_t{4});
        QCOMPARE(store->DistanceMatrix[2][1], metres[1][0]);
        QCOMPARE(store->DistanceFileName, out);
        QCOMPARE(store->MetricCode, 'N');
        QCOMPARE(
            sourceText(store->Source),
            std::string("road lengths in metres (drive), computed from the road map town.osm"));
        QCOMPARE(store->Source.file, roads);
        QVERIFY(store->Source.roads);
        QVERIFY(store->MatrixSaved);
        QVERIFY(!form->isVisible());
        QVERIFY(control<QPushButton>(&program->VelmoraMain(), "ModifyDist")->isEnabled());
        const FileDialogSettings& save = prompts->dialogsRun().back();
        QCOMPARE(save.filterIndex, 4);
        QCOMPARE(save.defaultExt, std::string("NED"));

        const std::string command = std::string("cd '") + dir->path() + "' && " + VELMORA_BATCH +
                                    " network --roads town.osm --demand d.NET --candidates "
                                    "s.NET --out batch.NED >/dev/null";
        QCOMPARE(std::system(command.c_str()), 0);
        QCOMPARE(readBytes(dir->file("batch.NED")), readBytes(out));
    }

    void modeAndUnitAreChosenByKeyboard() {
        // One degree of longitude apart along the equator, on a path only walkers take.
        RoadMapText map;
        map.nodes = {{1, 0, 0}, {2, 1, 0}, {3, 2, 0}, {4, 3, 0}};
        map.ways = {{1, {1, 2, 3, 4}, {{"highway", "path"}}}};
        const std::string roads = dir->write("line.osm", map.xml());
        chooseDemand(3, dir->write("d.NET", placeLine(1, {0, 0.001}) + placeLine(2, {3, 0.001})));
        control<QRadioButton>(form, "RoadMap")->click();
        // Down to Walk, Tab past the measure to the units, Down to Kilometres, Enter.
        chooseRoadMap(roads, {QKeyCombination(Qt::Key_Down), QKeyCombination(Qt::Key_Tab),
                              QKeyCombination(Qt::Key_Tab), QKeyCombination(Qt::Key_Down),
                              QKeyCombination(Qt::Key_Return)});
        QCOMPARE(label("DistFileToRead"),
                 QStringLiteral("File to Read = line.osm\nwalk, road length, kilometres"));

        // The next road map starts from the last choice; its mnemonics change it.
        chooseRoadMap(roads,
                      {QKeyCombination(Qt::ALT, Qt::Key_I), QKeyCombination(Qt::Key_Return)});
        QCOMPARE(label("DistFileToRead"),
                 QStringLiteral("File to Read = line.osm\nwalk, road length, miles"));

        prompts->progress("VELMORA Road Distances")
            .box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::No);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        const auto miles =
            static_cast<int32_t>(std::llrint(map.pathMetres({1, 2, 3, 4}) / 1609.344L));
        QCOMPARE(store->DistanceMatrix[1][2], miles);
        QCOMPARE(store->DistanceMatrix[2][1], miles);
    }

    // Travel time at the speeds of a file, the island's pairs filled: the matrix the batch
    // command writes, after the warning that counts the cell rounded to 0.
    void travelTimeIsTheBatchCommandsAfterTheZeroCellsWarning() {
        const std::vector<MapPlace> places = townPlaces();
        const std::string roads = dir->write("town.osm", townMap().xml());
        const std::string speeds = dir->write("speeds.txt", "residential 25\n");
        chooseDemand(3, dir->write("d.NET", placeLine(1, places[0]) + placeLine(2, places[1]) +
                                                placeLine(3, places[2])));
        prompts->openDialog(
            dir->write("s.NET", placeLine(1, places[3]) + placeLine(2, {0.0101, 0})));
        control<QPushButton>(form, "ExtraSites")->click();
        control<QRadioButton>(form, "RoadMap")->click();
        prompts->openDialog(roads).openDialog(speeds);
        int leftOpen = 0;
        // Travel Time, Speeds File, then Tab through the units, Speeds File and Clear to the
        // value of unreachable pairs.
        const QKeyCombination tab(Qt::Key_Tab);
        answerRoadMapOptions(
            {QKeyCombination(Qt::ALT, Qt::Key_T), QKeyCombination(Qt::ALT, Qt::Key_F), tab, tab,
             tab, tab, QKeyCombination(Qt::Key_Minus), QKeyCombination(Qt::Key_7),
             QKeyCombination(Qt::Key_Return)},
            leftOpen);
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(leftOpen, 0);
        const std::string out = dir->file("town.NED");
        prompts->progress("VELMORA Road Distances")
            .box(BoxType::Warning,
                 "1 cell off the diagonal rounds to 0 minutes though its travel time is above 0: "
                 "choose seconds.",
                 Buttons::Ok)
            .box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
            .saveDialog(out);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        const std::string command = std::string("cd '") + dir->path() + "' && " + VELMORA_BATCH +
                                    " network --roads town.osm --demand d.NET --candidates s.NET "
                                    "--cost time --speeds speeds.txt --unreachable -7 --out "
                                    "batch.NED >/dev/null";
        QCOMPARE(std::system(command.c_str()), 0);
        QCOMPARE(readBytes(dir->file("batch.NED")), readBytes(out));
        QCOMPARE(store->DistanceMatrix[1][5], -7);
    }

    void aCancelledChoiceLeavesNoRoadMap() {
        const std::string roads = dir->write("town.osm", townMap().xml());
        chooseDemand(3, dir->write("d.NET", placeLine(1, townPlaces()[0])));
        control<QRadioButton>(form, "RoadMap")->click();
        chooseRoadMap(roads, {QKeyCombination(Qt::Key_Escape)});
        QVERIFY(!form->RoadMap());
        QVERIFY(control<QWidget>(form, "DistFileToRead")->isHidden());
        QVERIFY(!control<QWidget>(form, "ExitAndLoadData")->isEnabled());
        QVERIFY(control<QWidget>(form, "SpecifyDistanceFile")->isEnabled());
        prompts->openDialog({});
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(!control<QWidget>(form, "ExitAndLoadData")->isEnabled());

        // A pipe is refused, and asked again, before anything would wait on it.
        const std::string fifo = dir->file("roads.osm");
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        const FifoReaderWatch watch(fifo);
        prompts->openDialog(fifo)
            .box(BoxType::Error, "File [" + fifo + "] is not a regular file... Try again.",
                 Buttons::Ok)
            .openDialog({});
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(!form->RoadMap());
        QVERIFY(!control<QWidget>(form, "ExitAndLoadData")->isEnabled());
        QVERIFY2(!watch.readerSeen(), "the pipe was opened for reading");
    }

    void errorsAreShownAndTheRoadMapIsRefused() {
        std::vector<MapPlace> places = townPlaces();
        const std::string roads = dir->write("town.osm", townMap().xml());
        const std::string empty = dir->write("empty.osm.pbf", "");
        const std::string gone = dir->file("gone.osm");
        const std::string swapped = dir->file("swapped.osm");
        // The last place lies on the island, which no road joins to the town.
        const std::string demand = dir->write(
            "d.NET", placeLine(1, places[0]) + placeLine(2, places[1]) + placeLine(3, {0.0101, 0}));
        chooseDemand(3, demand);
        control<QRadioButton>(form, "RoadMap")->click();
        const struct {
            std::string file;
            std::string message;
        } cases[] = {
            {roads, roads +
                        ": 4 pairs of nodes are joined by no road for driving; the first is row 1, "
                        "column 3 (from node 1 to node 3)"},
            {empty, empty + ": The road map is empty: it is not an OpenStreetMap file"},
            {gone, "Cannot open file \"" + gone + "\": " + std::strerror(ENOENT)},
            // Swapped for a named pipe after it was chosen: refused, never waited for.
            {swapped, "Cannot open file \"" + swapped + "\": not a regular file"},
        };
        for (const auto& bad : cases) {
            const bool replaced = bad.file == gone || bad.file == swapped;
            if (replaced) {
                dir->write(bad.file.substr(dir->path().size() + 1), townMap().xml());
            }
            chooseRoadMap(bad.file);
            if (replaced) {
                std::filesystem::remove(bad.file);
            }
            if (bad.file == swapped) {
                QCOMPARE(::mkfifo(swapped.c_str(), 0600), 0);
            }
            prompts->progress("VELMORA Road Distances")
                .box(BoxType::Error, bad.message, Buttons::Ok);
            control<QPushButton>(form, "ExitAndLoadData")->click();
            VERIFY_PROMPTS(*prompts);
            expectRoadMapRefused();
        }
    }

    void aNodeOffTheGlobeIsNamedByItsFileAndLine() {
        const std::string roads = dir->write("town.osm", townMap().xml());
        const std::string demand =
            dir->write("d.NET", placeLine(1, townPlaces()[0]) + placeLine(2, {180.5, 0}));
        chooseDemand(3, demand);
        control<QRadioButton>(form, "RoadMap")->click();
        chooseRoadMap(roads);
        prompts->progress("VELMORA Road Distances")
            .box(BoxType::Error,
                 demand + ":2: Node 2 is at longitude (X) " + localized("180.5").toStdString() +
                     " and latitude (Y) 0: a longitude must lie from -180 to 180 and a latitude "
                     "from -90 to 90",
                 Buttons::Ok);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
    }

    void aCancelledComputationLeavesTheDialogAsARefusedRoadMapDoes() {
        const std::string roads = dir->write("town.osm", townMap().xml());
        chooseDemand(
            3, dir->write("d.NET", placeLine(1, townPlaces()[0]) + placeLine(2, townPlaces()[1])));
        control<QRadioButton>(form, "RoadMap")->click();
        chooseRoadMap(roads);
        prompts->progress("VELMORA Road Distances", true);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(!store->DistanceMatrix.holds(1));
        expectRoadMapRefused();
    }

    // After a failed save the roads are not searched again, until the road map changes.
    void aRoadMatrixIsComputedOnceForAnUnchangedProblem() {
        const std::string roads = dir->write("town.osm", townMap().xml());
        chooseDemand(
            3, dir->write("d.NET", placeLine(1, townPlaces()[0]) + placeLine(2, townPlaces()[1])));
        control<QRadioButton>(form, "RoadMap")->click();
        chooseRoadMap(roads);
        for (const bool searched : {true, false, true}) {
            if (searched) {
                prompts->progress("VELMORA Road Distances");
            }
            prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
                .saveDialog(dir->file("missing/out.NED"));
            QVERIFY_THROWS_EXCEPTION(InOutError,
                                     control<QPushButton>(form, "ExitAndLoadData")->click());
            VERIFY_PROMPTS(*prompts);
            QCOMPARE(store->DistanceMatrix[1][2], townDriveMetres()[0][1]);
            if (!searched) {
                dir->write("town.osm", townMap().xml() + "\n");
            }
        }
    }

    // The roads are not read for nodes other than those the dialog shows.
    void aNodeFileChangedSinceItWasChosenIsRefusedBeforeTheRoadsAreRead() {
        const std::string roads = dir->write("town.osm", townMap().xml());
        chooseDemand(3, dir->write("d.NET", placeLine(1, townPlaces()[0])));
        control<QRadioButton>(form, "RoadMap")->click();
        chooseRoadMap(roads);
        loadAfterWritingAgain("d.NET",
                              placeLine(1, townPlaces()[0]) + placeLine(2, townPlaces()[1]));
        QVERIFY(form->isVisible());
        QCOMPARE(store->NodeCount, uint16_t{0});
        QVERIFY(!control<QWidget>(form, "ExitAndLoadData")->isEnabled());
        QVERIFY(control<QWidget>(form, "SpecifyDemand")->isEnabled());
    }

    void readingAFileAgainForgetsTheRoadMap() {
        const std::string roads = dir->write("town.osm", townMap().xml());
        chooseDemand(3, dir->write("d.NET", nodeLines(2)));
        control<QRadioButton>(form, "RoadMap")->click();
        chooseRoadMap(roads);
        QVERIFY(form->RoadMap());
        control<QRadioButton>(form, "ReadDistanceFile")->click();
        QVERIFY(!form->RoadMap());
        QVERIFY(control<QWidget>(form, "DistFileToRead")->isHidden());
        QVERIFY(!control<QWidget>(form, "ExitAndLoadData")->isEnabled());
        prompts->openDialog(dir->write("d.NED", "0\r\n7\r\n5\r\n0\r\n"));
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->DistanceMatrix[2][1], 7);
        QVERIFY(!form->isVisible());
    }

    // The distance file chosen before is no source of the matrix once a road map is chosen.
    void aRoadMapAfterADistanceFileIsComputedAndOffersTheSave() {
        const std::vector<MapPlace> places = townPlaces();
        chooseDemand(3, dir->write("d.NET", placeLine(1, places[0]) + placeLine(2, places[1])));
        prompts->openDialog(dir->write("d.NED", "0\r\n7\r\n5\r\n0\r\n"));
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        control<QRadioButton>(form, "RoadMap")->click();
        chooseRoadMap(dir->write("town.osm", townMap().xml()));
        prompts->progress("VELMORA Road Distances")
            .box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::No);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->DistanceMatrix[2][1], townDriveMetres()[1][0]);
        QCOMPARE(store->DistanceFileName, std::string());
        QVERIFY(!form->isVisible());
    }

private:
    // Chooses the road map through Specify Distance File and answers its options with `keys`,
    // which must close the dialog.
    void chooseRoadMap(const std::string& path,
                       const QList<QKeyCombination>& keys = {QKeyCombination(Qt::Key_Return)}) {
        prompts->openDialog(path);
        int leftOpen = 0;
        answerRoadMapOptions(keys, leftOpen);
        control<QPushButton>(form, "SpecifyDistanceFile")->click();
        QCOMPARE(leftOpen, 0);
    }

    void expectRoadMapRefused() {
        QVERIFY(form->isVisible());
        QVERIFY(!form->RoadMap());
        QVERIFY(control<QWidget>(form, "DistFileToRead")->isHidden());
        QVERIFY(!control<QWidget>(form, "ExitAndLoadData")->isEnabled());
        QVERIFY(control<QWidget>(form, "SpecifyDistanceFile")->isEnabled());
        QVERIFY(control<QRadioButton>(form, "RoadMap")->isChecked());
        QVERIFY(!control<QPushButton>(&program->VelmoraMain(), "ModifyDist")->isEnabled());
    }

    // Writes the chosen node file again, with a time that differs whatever the clock, and
    // presses Exit and Load Data, which refuses it.
    void loadAfterWritingAgain(const std::string& name, const std::string& lines) {
        const std::string path = dir->write(name, lines);
        const timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        prompts->box(BoxType::Error,
                     "File [" + path + "] changed since it was chosen... Choose it again.",
                     Buttons::Ok);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
    }

    void chooseDemand(int metricItem, const std::string& path) {
        const char* const items[] = {"Euclidean", "GreatCircle", "Manhattan", "Network"};
        form->show();
        control<QRadioButton>(form, items[metricItem])->click();
        prompts->openDialog(path);
        control<QPushButton>(form, "SpecifyDemand")->click();
        QVERIFY2(prompts->satisfied(), prompts->report().c_str());
    }

    QStringList enabledSteps() const {
        QStringList enabled;
        for (const char* name : StepControls) {
            if (form->findChild<QWidget*>(QString::fromLatin1(name))->isEnabled()) {
                enabled << QString::fromLatin1(name);
            }
        }
        return enabled;
    }

    QStringList visibleLabels() const {
        QStringList visible;
        for (const char* name : InformationLabels) {
            if (!form->findChild<QWidget*>(QString::fromLatin1(name))->isHidden()) {
                visible << QString::fromLatin1(name);
            }
        }
        return visible;
    }

    QString label(const char* name) const {
        return form->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }

    // A label's tool-tip as the user reads it.
    QString plainToolTip(const char* name) const {
        QTextDocument document;
        document.setHtml(form->findChild<QLabel*>(QString::fromLatin1(name))->toolTip());
        return document.toPlainText();
    }

    QString sample() const {
        return form->findChild<QPlainTextEdit*>(QStringLiteral("SampleDemandData"))->toPlainText();
    }

    TLoadDataVelmoraForm* form = nullptr;
};

VELMORA_TEST_MAIN(LoadDialogTest)
#include "LoadDialogTest.moc"
