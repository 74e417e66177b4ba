#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <cstdlib>

#include "app/Velmora.h"
#include "app/VelmoraProgram.h"
#include "loading/LoadDataVelmora.h"
#include "modify/DistSpecification.h"
#include "modify/EntryChecks.h"
#include "preview/ChartView.h"
#include "preview/CoveragePreview.h"
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

class CoveragePreviewTest : public WindowTest {
    Q_OBJECT

private slots:
    void init() {
        WindowTest::init();
        form = &start().DistEquationForm();
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
            form = &restart().DistEquationForm();
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

    // A screen reader says each value after its caption and names the charts' tabs.
    void aScreenReaderHearsEachValueWithItsCaption() {
        loadThroughTheDialogs(WorkedDemand, 30);
        enterCoverage("5");
        openPreview();
        QStringList spoken;
        for (const char* name : PanelValues) {
            QAccessibleInterface* value =
                QAccessible::queryAccessibleInterface(control<QLabel>(previewWindow(), name));
            // Labelled by its caption (and by the panel's title, as every control in it).
            QStringList captions;
            for (const auto& [label, relation] : value->relations(QAccessible::Label)) {
                if (qobject_cast<QLabel*>(label->object())) {
                    captions << label->text(QAccessible::Name);
                }
            }
            QCOMPARE(captions.size(), 1);
            spoken << captions.first() + ' ' + value->text(QAccessible::Name);
        }
        QCOMPARE(spoken[5], "Demand within the coverage: " + localized("29.00 (85.3%)"));
        QCOMPARE(spoken[14], QStringLiteral("Non-zero diagonal: none"));
        QCOMPARE(accessibleName(control<QWidget>(previewWindow(), "Charts")),
                 QStringLiteral("Charts"));
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

    // The map is laid out at the widget's own size with the window's text size, so its tick
    // labels are as tall as the window's text at any size of window or screen, and its marks
    // lie where the chart puts them.
    void theChartsArePaintedAtTheirOwnSizeWithTheWindowsText() {
        loadThroughTheDialogs(WorkedDemand, 30);
        enterCoverage("5");
        openPreview();
        previewWindow()->findChild<QTabWidget*>("Charts")->setCurrentIndex(1);
        ChartView* map = chartView("NodeMap");
        QTRY_COMPARE(map->chart().width, map->width());
        QCOMPARE(map->chart().height, map->height());
        QCOMPARE(map->chartArea(), QRectF(map->rect()));
        const int textSize = QFontInfo(previewWindow()->font()).pixelSize();
        QCOMPARE(map->chart().textSize, textSize);
        QImage image = map->grab().toImage();
        const double ratio = image.devicePixelRatio();
        // The rows the tick labels under the plot take, above the axis title.
        const Chart& chart = map->chart();
        int rows = 0;
        for (int y = (chart.plot.bottom + 8) * ratio; y < (chart.plot.bottom + 30) * ratio; ++y) {
            bool ink = false;
            for (int x = chart.plot.left * ratio; x < chart.plot.right * ratio && !ink; ++x) {
                ink = image.pixelColor(x, y).lightness() < 128;
            }
            rows += ink;
        }
        QVERIFY2(rows >= 0.6 * textSize * ratio, qPrintable(QString::number(rows)));

        // Larger, it is laid out again, each mark where its node lies.
        previewWindow()->resize(900, 1000);
        QTRY_COMPARE(map->chart().width, map->width());
        QCOMPARE(map->chart().height, map->height());
        image = map->grab().toImage();
        const auto shownAt = [&](double x, double y) {
            const PixelPoint at = chartPixel(map->chart(), x, y);
            return image.pixelColor(QPointF(at.x * ratio, at.y * ratio).toPoint());
        };
        QCOMPARE(shownAt(0, 0), colourOf(ChartColours::Blue));
        QCOMPARE(shownAt(30, 40), colourOf(ChartColours::Vermillion));
        QCOMPARE(shownAt(0, 8), colourOf(ChartColours::Orange));
        QCOMPARE(accessibleName(map), QStringLiteral("Map of the nodes"));
        QCOMPARE(map->accessibleDescription(),
                 QStringLiteral("Nodes at coverage 5: 1 of 3 demand points isolated. "
                                "Coordinates from the node files"));
    }

    // A chart of other proportions than its view is scaled by the smaller of the two scales
    // and centred, never cut off: the picture files' chart in a view half as tall, or a chart
    // laid out no smaller than its smallest layout in a view smaller still.
    void aChartOfOtherProportionsIsShownWholeAndCentred() {
        ChartView view;
        view.resize(1000, 360);
        view.show();
        view.setChart([](const ChartFrame&) { return Chart{}; });
        QCOMPARE(view.chartArea(), QRectF(250, 0, 500, 360));
        view.setChart([](const ChartFrame& frame) { return chartIn(frame); });
        QCOMPARE(view.chartArea(), QRectF(0, 0, 1000, 360));
        view.resize(120, 90);
        QTRY_COMPARE(view.width(), 120);
        const QRectF area = view.chartArea();
        QCOMPARE(area.center(), QPointF(60, 45));
        QVERIFY(QRectF(view.rect()).contains(area));
        QVERIFY(qFuzzyCompare(area.width(), 120.0) || qFuzzyCompare(area.height(), 90.0));
        QVERIFY(qAbs(area.width() / area.height() -
                     double(view.chart().width) / view.chart().height) < 1e-9);
    }

    // Under a dark palette the charts are drawn in its colours, the data readable on them.
    void theChartsFollowADarkPalette() {
        DarkPalette dark;
        form = &start().DistEquationForm();
        loadThroughTheDialogs(WorkedDemand, 30);
        enterCoverage("5");
        openPreview();
        ChartView* histogram = chartView("Histogram");
        const QImage image = histogram->grab().toImage();
        const double ratio = image.devicePixelRatio();
        const QColor paper = histogram->palette().color(QPalette::Base);
        QCOMPARE(image.pixelColor(1, 1), paper);
        const Chart& chart = histogram->chart();
        const ChartBar& within = chart.bars.front();
        QCOMPARE(within.colour, ChartColours::Blue);
        const PixelPoint bar = chartPixel(chart, (within.from + within.to) / 2, within.height / 2);
        // As much contrast as text is given.
        QVERIFY(contrastRatio(image.pixelColor(QPointF(bar.x * ratio, bar.y * ratio).toPoint()),
                              paper) >= 4.5);
        double title = 1;
        for (int y = 0; y < chart.plot.top * ratio / 3; ++y) {
            for (int x = 0; x < image.width(); ++x) {
                title = std::max(title, contrastRatio(image.pixelColor(x, y), paper));
            }
        }
        QVERIFY(title >= 7);
    }

    void chartsAreSavedAsThePicturesOfTheReport() {
        loadThroughTheDialogs(WorkedDemand, 30);
        enterCoverage("5");
        openPreview();
        // Whatever the window's size and palette: the batch command's pictures, byte for byte.
        const std::string path = dir->file("map.png");
        prompts->saveDialog(path);
        {
            DarkPalette dark;
            control<QPushButton>(previewWindow(), "SaveMap")->click();
        }
        VERIFY_PROMPTS(*prompts);
        const std::string command =
            std::string("cd '") + dir->path() + "' && " + VELMORA_BATCH +
            " report --demand d.EUC --candidates s.EUC --metric euclidean --coverage 5 --weight 30"
            " --plot batch-histogram.png --map batch-map.png >/dev/null";
        QCOMPARE(std::system(command.c_str()), 0);
        QCOMPARE(readBytes(path), readBytes(dir->file("batch-map.png")));
        QCOMPARE(QImage::fromData(QByteArray::fromStdString(readBytes(path))).size(),
                 QSize(1000, 720));
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
        QCOMPARE(readBytes(old), readBytes(dir->file("batch-histogram.png")));
        QCOMPARE(folderListing(dir->path()),
                 std::string(
                     "batch-histogram.png\nbatch-map.png\nd.EUC\nhistogram.png\nmap.png\ns.EUC\n"));
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

    TDistEquationForm* form = nullptr;
};

VELMORA_TEST_MAIN(CoveragePreviewTest)
#include "CoveragePreviewTest.moc"
