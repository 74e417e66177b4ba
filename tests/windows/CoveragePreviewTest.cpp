#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include "app/Velmora.h"
#include "app/VelmoraProgram.h"
#include "loading/LoadDataVelmora.h"
#include "modify/DistSpecification.h"
#include "modify/EntryChecks.h"
#include "preview/ChartView.h"
#include "preview/CoveragePreview.h"
#include "report/pictures/ChartPainter.h"
#include "store/DataStore.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMatrices.h"
#include "tests/windows/WindowTestSupport.h"

namespace {

// Demand nodes 1 (0, 0), 2 (3, 4) and 3 (30, 40) with demand sets (10, 20), (40, 0) and
// (5, 5), and a candidate site 4 at (0, 8). Off the diagonal the rows hold 5, 50, 8 / 5, 45,
// 5 / 50, 45, 44 / 8, 5, 44 (the 43.86 from node 3 to node 4 rounded). At W = 0.3 the demands
// weigh 17, 12 and 5: 34 in all.
const char* const WorkedDemand = "1 0 0 10 20 1\r\n2 3 4 40 0 1\r\n3 30 40 5 5 1\r\n";
const char* const WorkedSites = "1 0 8 x x 1\r\n";
const std::string SaveQuestion = "Do you want to save distances?";

// What the panel shows, in the order of its rows.
const char* const PanelValues[] = {"CoverageValue",
                                   "NodesValue",
                                   "DemandValue",
                                   "CellsWithinCoverage",
                                   "IsolatedDemandNodes",
                                   "DemandWithinCoverage",
                                   "CoverageToCoverEveryDemandNode",
                                   "EquationCells0",
                                   "EquationCells1",
                                   "EquationCells2",
                                   "EquationCells3",
                                   "AsymmetricPairs",
                                   "ZeroDistancePairs",
                                   "NegativeCells",
                                   "NonZeroDiagonalCells"};

QColor colourOf(const Colour& colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

}  // namespace

class CoveragePreviewTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        folder = std::make_unique<CurrentFolder>();
        dir = std::make_unique<TempDir>();
        start();
    }

    void cleanup() {
        program.reset();
        store.reset();
        prompts.reset();
        dir.reset();
        folder.reset();
    }

    void theNumbersOfAProblemWorkedByHandAtTwoCoverages() {
        loadThroughTheDialogs(WorkedDemand, 30);
        enterCoverage("5");
        openPreview();
        QCOMPARE(panel(), QStringList({"5", "4: 3 demand nodes, 1 candidate site",
                                       localized("34.00 (W=0.3 on demand set 1)"),
                                       localized("4 of 12 (33.3%)"),
                                       QStringLiteral("1, demand ") + localized("5.00 (14.7%)"),
                                       localized("29.00 (85.3%)"), "44", "4", "4", "0", "8", "none",
                                       "none", "none", "none"}));
        QCOMPARE(chartView("NodeMap")->chart().title,
                 std::string("Nodes at coverage 5: 1 of 3 demand points isolated"));

        // Leaving the field with a new coverage redraws it; the keyboard stays in the dialog.
        enterCoverage("44");
        QCOMPARE(panel(), QStringList({"44", "4: 3 demand nodes, 1 candidate site",
                                       localized("34.00 (W=0.3 on demand set 1)"),
                                       localized("8 of 12 (66.7%)"),
                                       QStringLiteral("0, demand ") + localized("0.00 (0.0%)"),
                                       localized("34.00 (100.0%)"), "44", "4", "8", "0", "4",
                                       "none", "none", "none", "none"}));
        QCOMPARE(chartView("NodeMap")->chart().title,
                 std::string("Nodes at coverage 44: 0 of 3 demand points isolated"));
        QCOMPARE(chartView("Histogram")->chart().note,
                 localized("8 cells (66.7%) within the coverage of 44").toStdString());
        QTRY_COMPARE(QApplication::activeWindow(), form);
        QCOMPARE(QApplication::focusWidget()->window(), form);
        VERIFY_PROMPTS(*prompts);
    }

    void theMatrixIsNamedByWhatItHolds() {
        loadThroughTheDialogs(WorkedDemand, 30);
        store->Source = roadSource("drive", true, "minutes");
        enterCoverage("5");
        openPreview();
        auto* tabs = control<QTabWidget>(previewWindow(), "Charts");
        QCOMPARE(control<QLabel>(previewWindow(), "MatrixNote")->text(),
                 QStringLiteral("Matrix: travel times in minutes (drive), computed from the road "
                                "map town.osm.pbf\nThe travel times as they stand, before the "
                                "equations are applied"));
        QCOMPARE(tabs->tabText(0), QStringLiteral("Travel times"));
        QCOMPARE(panel().front(), QStringLiteral("5 minutes"));
        QCOMPARE(chartView("Histogram")->chart().title,
                 std::string("Off-diagonal travel times: 12 cells of 4 nodes"));
    }

    // The same session of the dialog, without and with the preview open: the same boxes in the
    // same order, the same file, the same MatrixSaved, the keyboard in the same places.
    void theDialogBehavesAsBeforeWithThePreviewOpen() {
        std::vector<std::string> files;
        std::vector<QStringList> focusTrails;
        for (const bool preview : {false, true}) {
            start();
            loadThroughTheDialogs(WorkedDemand, 100);
            QStringList focus;
            if (preview) {
                openPreview();
            }
            prompts->beep(InformationBeep)
                .box(BoxType::Warning, ConversionWarningText, Buttons::Ok);
            enterCoverage("12.5");
            focus << focusedControl();
            setEquation("Coef2", "2");
            focus << focusedControl();
            prompts->box(BoxType::Warning,
                         "Invalid Parameter Value.  Must have " +
                             localized("-10.00").toStdString() +
                             " <= X <= " + localized("10.00").toStdString(),
                         Buttons::Ok);
            setEquation("Expon4", "11");
            focus << focusedControl();
            setEquation("Constant4", "3");
            enterCoverage("6");
            focus << focusedControl();
            VERIFY_PROMPTS(*prompts);
            QCOMPARE(form->settings().CoverageDistance, 6);
            if (preview) {
                QCOMPARE(previewWindow()->findChild<QLabel*>("CoverageValue")->text(),
                         QStringLiteral("6"));
            }
            const std::string out = dir->file(preview ? "with.EUD" : "without.EUD");
            prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
                .saveDialog(out)
                .box(BoxType::Information,
                     "<<< NO SCALING OF DISTANCES IS NEEDED.  NONE WILL BE DONE >>>", Buttons::Ok)
                .box(BoxType::Information,
                     "<<< File [" + out + "] successfully written with 16 records >>>",
                     Buttons::Ok);
            store->MatrixSaved = false;
            control<QPushButton>(form, "QuitAndRun")->click();
            VERIFY_PROMPTS(*prompts);
            QVERIFY(store->MatrixSaved);
            QVERIFY(!form->isVisible());
            if (preview) {
                QVERIFY(!previewWindow()->isVisible());
            }
            files.push_back(readBytes(out));
            focusTrails.push_back(focus);
        }
        // Up to the coverage of 6: 2 · old; beyond it: 3 + old.
        QCOMPARE(files[0], std::string("0\r\n10\r\n53\r\n11\r\n10\r\n0\r\n48\r\n10\r\n53\r\n48\r\n"
                                       "0\r\n47\r\n11\r\n10\r\n47\r\n0\r\n"));
        QCOMPARE(files[1], files[0]);
        QCOMPARE(focusTrails[1], focusTrails[0]);
    }

    void theButtonIsLastInTheTabOrderAndReachedByItsAccelerator() {
        loadThroughTheDialogs(WorkedDemand, 100);
        QPushButton* button = control<QPushButton>(form, "PreviewCoverage");
        QCOMPARE(button->text(), QStringLiteral("&Preview Coverage…"));
        control<QWidget>(form, "ScaleDistCheckBox")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control<QWidget>(form, "CVDist"));

        QTest::keyClick(form, Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(previewWindow() && previewWindow()->isVisible());
        QCOMPARE(previewWindow()->windowTitle(), QStringLiteral("Coverage Preview"));
        QTRY_COMPARE(QApplication::activeWindow(), form);
        // Pressed again, it hands the keyboard to the open preview; Escape gives it back.
        button->click();
        QTRY_COMPARE(QApplication::activeWindow(), previewWindow());
        QTest::keyClick(previewWindow(), Qt::Key_Escape);
        QVERIFY(!previewWindow()->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), form);
        QVERIFY(form->isVisible());
    }

    void itClosesWithTheDialogAndReadsTheMatrixAgainWhenReopened() {
        loadThroughTheDialogs(WorkedDemand, 100);
        enterCoverage("5");
        openPreview();
        control<QPushButton>(form, "CancelButton")->click();
        QVERIFY(!form->isVisible());
        QVERIFY(!previewWindow()->isVisible());
        // Changed while the dialog was hidden, as the single-cell dialog would: node 3 is now
        // 5 from node 4, so nothing is isolated at 5.
        store->DistanceMatrix[3][4] = 5;
        control<QPushButton>(&program->VelmoraMain(), "ModifyDist")->click();
        // The main window hides as the dialog shows; its going takes the activation along.
        QCoreApplication::processEvents();
        QVERIFY(activate(form));
        QVERIFY(!previewWindow()->isVisible());
        openPreview();
        QCOMPARE(previewWindow()->findChild<QLabel*>("IsolatedDemandNodes")->text(),
                 QStringLiteral("0, demand ") + localized("0.00 (0.0%)"));
        QCOMPARE(previewWindow()->findChild<QLabel*>("CoverageValue")->text(), QStringLiteral("5"));
    }

    // The map in the window is the picture file's, scaled to the window and to the screen.
    void theChartsArePaintedScaledToTheWindow() {
        loadThroughTheDialogs(WorkedDemand, 30);
        enterCoverage("5");
        openPreview();
        previewWindow()->findChild<QTabWidget*>("Charts")->setCurrentIndex(1);
        ChartView* map = chartView("NodeMap");
        const QRectF before = map->chartArea();
        previewWindow()->resize(1100, 1000);
        QTRY_VERIFY(map->chartArea().width() > before.width());
        const QRectF area = map->chartArea();
        QVERIFY(qAbs(area.width() / area.height() - 1000.0 / 720.0) < 1e-9);
        const QImage image = map->grab().toImage();
        const double ratio = image.devicePixelRatio();
        const auto shownAt = [&](double x, double y) {
            const PixelPoint at = chartPixel(map->chart(), x, y);
            const QPointF point =
                area.topLeft() + QPointF(at.x * area.width() / 1000, at.y * area.height() / 720);
            return image.pixelColor((point * ratio).toPoint());
        };
        QCOMPARE(shownAt(0, 0), colourOf(ChartColours::Blue));
        QCOMPARE(shownAt(30, 40), colourOf(ChartColours::Vermillion));
        QCOMPARE(shownAt(0, 8), colourOf(ChartColours::Orange));
        QCOMPARE(accessibleName(map), QStringLiteral("Map of the nodes"));
        QCOMPARE(map->accessibleDescription(),
                 QStringLiteral("Nodes at coverage 5: 1 of 3 demand points isolated. "
                                "Coordinates from the node files"));
    }

    void chartsAreSavedAsThePicturesOfTheReport() {
        loadThroughTheDialogs(WorkedDemand, 30);
        enterCoverage("5");
        openPreview();
        const std::string path = dir->file("map.png");
        prompts->saveDialog(path);
        control<QPushButton>(previewWindow(), "SaveMap")->click();
        VERIFY_PROMPTS(*prompts);
        const QByteArray painted = pngBytes(paintChart(chartView("NodeMap")->chart()));
        QCOMPARE(readBytes(path), painted.toStdString());
        QCOMPARE(QImage::fromData(painted).size(), QSize(1000, 720));
        QCOMPARE(prompts->dialogsRun().back().defaultExt, std::string("png"));

        // An existing file is replaced only with consent; No shows the dialog again.
        dir->write("histogram.png", "old");
        const std::string old = dir->file("histogram.png");
        prompts->saveDialog(old)
            .box(BoxType::Confirm, "File [" + old + "] exists.... Do you want to replace it?",
                 Buttons::YesNo, Answer::No)
            .saveDialog({});
        control<QPushButton>(previewWindow(), "SaveHistogram")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(readBytes(old), std::string("old"));
        prompts->saveDialog(old).box(BoxType::Confirm,
                                     "File [" + old + "] exists.... Do you want to replace it?",
                                     Buttons::YesNo, Answer::Yes);
        control<QPushButton>(previewWindow(), "SaveHistogram")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(readBytes(old),
                 pngBytes(paintChart(chartView("Histogram")->chart())).toStdString());
        QCOMPARE(folderListing(dir->path()), std::string("d.EUC\nhistogram.png\nmap.png\ns.EUC\n"));
    }

    void aNegativeDemandIsNamedInPlaceOfTheReport() {
        // The file's name shown as every shown name is: its control character made visible.
        loadThroughTheDialogs("1 0 0 10 20 1\r\n2 3 4 40 0 1\r\n3 30 40 -5 5 1\r\n", 30,
                              "d\x1b.EUC");
        openPreview();
        QLabel* refusal = control<QLabel>(previewWindow(), "Refusal");
        QVERIFY(refusal->isVisible());
        QCOMPARE(refusal->text(),
                 QString::fromStdString("File [" + dir->path() +
                                        "/d\u241B.EUC], line 3: field 4 holds a negative demand "
                                        "(-5); the report counts demand of 0 or more"));
        QVERIFY(!control<QWidget>(previewWindow(), "NumbersPanel")->isVisible());
        QVERIFY(!control<QWidget>(previewWindow(), "Charts")->isVisible());
        QVERIFY(!control<QWidget>(previewWindow(), "SaveMap")->isVisible());
    }

private:
    void start() {
        program.reset();
        prompts = std::make_unique<ScriptedPrompts>();
        store = std::make_unique<TDataStore>();
        program = std::make_unique<VelmoraProgram>(*prompts, *store);
        form = &program->DistEquationForm();
    }

    // Loads the demand file and the worked candidate site as a user does, with the weight
    // on demand set 1 in hundredths, and opens the equation dialog.
    void loadThroughTheDialogs(const std::string& demand, int weight,
                               const std::string& demandName = "d.EUC") {
        TVelmoraMain& main = program->VelmoraMain();
        TLoadDataVelmoraForm* load = &program->LoadDataVelmoraForm();
        main.show();
        control<QPushButton>(&main, "LoadData")->click();
        control<QRadioButton>(load, "Euclidean")->click();
        prompts->openDialog(dir->write(demandName, demand));
        control<QPushButton>(load, "SpecifyDemand")->click();
        prompts->openDialog(dir->write("s.EUC", WorkedSites));
        control<QPushButton>(load, "ExtraSites")->click();
        control<QScrollBar>(load, "PercentDem1")->setValue(weight);
        control<QRadioButton>(load, "ComputeDistances")->click();
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::No);
        control<QPushButton>(load, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        control<QPushButton>(&main, "ModifyDist")->click();
        QVERIFY(activate(form));
    }

    void openPreview() {
        control<QPushButton>(form, "PreviewCoverage")->click();
        QVERIFY(previewWindow());
        QVERIFY(QTest::qWaitForWindowExposed(previewWindow()));
        QTRY_COMPARE(QApplication::activeWindow(), form);
    }

    TCoveragePreview* previewWindow() const { return form->CoveragePreview(); }

    ChartView* chartView(const char* name) const {
        return previewWindow()->findChild<ChartView*>(QString::fromLatin1(name));
    }

    QStringList panel() const {
        QStringList values;
        for (const char* name : PanelValues) {
            values << previewWindow()->findChild<QLabel*>(QString::fromLatin1(name))->text();
        }
        return values;
    }

    QString focusedControl() const {
        QWidget* focused = QApplication::focusWidget();
        return focused ? focused->window()->objectName() + '/' + focused->objectName()
                       : QStringLiteral("none");
    }

    void enterCoverage(const char* text) {
        typeInto(control<QLineEdit>(form, "CVDist"), QString::fromLatin1(text));
        QTest::keyClick(control<QLineEdit>(form, "CVDist"), Qt::Key_Tab);
    }

    void setEquation(const char* field, const char* text) {
        typeInto(control<QLineEdit>(form, field), QString::fromLatin1(text));
        QTest::keyClick(control<QLineEdit>(form, field), Qt::Key_Tab);
    }

    std::unique_ptr<CurrentFolder> folder;
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<TDataStore> store;
    std::unique_ptr<VelmoraProgram> program;
    TDistEquationForm* form = nullptr;
};

VELMORA_TEST_MAIN(CoveragePreviewTest)
#include "CoveragePreviewTest.moc"
