#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

#include "app/VelmoraProgram.h"
#include "gis/NodeImport.h"
#include "gis/gdal/GdalLayers.h"
#include "loading/LayerImport.h"
#include "loading/LoadDataVelmora.h"
#include "store/DataStore.h"
#include "store/DistanceMetrics.h"
#include "tests/support/GisTestLayers.h"
#include "tests/support/TestFiles.h"
#include "tests/windows/WindowTestSupport.h"

namespace {

TestLayer utmSites() {
    TestLayer layer;
    layer.crs = "EPSG:25832";
    layer.fields = {{"code", 's'}, {"pop", 'r'}, {"name", 's'}};
    layer.features = {{"POINT (500000.5 5500000)", {"A", "12.5", "Depot North"}},
                      {"POINT (500100 5500200.25)", {"B", "3", "Gate"}}};
    return layer;
}

// Runs `answer` on the import dialog the next handler opens, then closes it if the answer
// left it open, so that a fault fails the test instead of hanging it.
void whenImportOpens(std::function<void(TLayerImportForm&)> answer, bool& answered,
                     int attempts = 400) {
    QTimer::singleShot(5, [answer, &answered, attempts] {
        auto* dialog = qobject_cast<TLayerImportForm*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (attempts > 0) {
                whenImportOpens(answer, answered, attempts - 1);
            }
            return;
        }
        answer(*dialog);
        answered = true;
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
}

// Chooses the field of that name in the list, as a user picks it.
void choose(TLayerImportForm& dialog, const char* list, const char* field) {
    auto* combo = control<QComboBox>(&dialog, list);
    combo->setCurrentIndex(combo->findText(QString::fromLatin1(field)));
}

QString text(QWidget* window, const char* label) {
    return control<QLabel>(window, label)->text();
}

}  // namespace

class LayerImportTest : public WindowTest {
    Q_OBJECT

private slots:
    void init() {
        WindowTest::init();
        form = &start().LoadDataVelmoraForm();
    }

    void aLayerBecomesTheNodeFileSavedBesideItAndLoads() {
        const std::string layer = dir->file("sites.gpkg");
        writeTestLayers(layer, "GPKG", {utmSites()});
        const std::string sites = dir->write("depots.csv", "code,lat,lon\nD1,50.5,9.5\n");
        form->show();
        control<QRadioButton>(form, "GreatCircle")->click();
        prompts->openDialog(layer).saveDialog(dir->file("sites.GRT"));
        bool answered = false;
        whenImportOpens(
            [](TLayerImportForm& dialog) {
                QCOMPARE(dialog.windowTitle(), QStringLiteral("VELMORA Import GIS Layer"));
                QCOMPARE(text(&dialog, "LayerCrs"),
                         QStringLiteral("ETRS89 / UTM zone 32N (EPSG:25832)"));
                QCOMPARE(text(&dialog, "FeatureCount"), QStringLiteral("2"));
                QVERIFY(!control<QComboBox>(&dialog, "XField")->isEnabled());
                QVERIFY(control<QLineEdit>(&dialog, "TargetCrs")->isReadOnly());
                QVERIFY(control<QLineEdit>(&dialog, "SourceCrs")->text().isEmpty());
                choose(dialog, "IdField", "code");
                choose(dialog, "DemandField", "pop");
                choose(dialog, "NameField", "name");
                control<QPushButton>(&dialog, "OkButton")->click();
            },
            answered);
        control<QPushButton>(form, "SpecifyDemand")->click();
        QVERIFY(answered);
        VERIFY_PROMPTS(*prompts);
        const FileDialogSettings& save = prompts->dialogsRun().at(1);
        QCOMPARE(save.fileName, dir->file("sites.GRT"));
        QCOMPARE(save.defaultExt, std::string("GRT"));
        QCOMPARE(save.filterIndex, 2);
        // The node files' own filters, without the layers.
        QCOMPARE(save.filter + "|GIS Layers|" + GisLayerPatterns,
                 prompts->dialogsRun().at(0).filter);
        QCOMPARE(store->DemandFileName, dir->file("sites.GRT"));
        QCOMPARE(text(form, "DataFileToRead"), QStringLiteral("File to Read = sites.GRT"));
        QCOMPARE(text(form, "NoNodesRead"), QStringLiteral("2 Nodes in file with names"));
        const QString decimal = localized("0.5").mid(1, 1);
        QVERIFY(control<QPlainTextEdit>(form, "SampleDemandData")
                    ->toPlainText()
                    .startsWith(QStringLiteral("Line 1 (Dem. Node File) = A 9") + decimal));

        // Candidate sites from a CSV file, its columns recognised by name.
        prompts->openDialog(sites).saveDialog(dir->file("depots.GRT"));
        whenImportOpens(
            [](TLayerImportForm& dialog) {
                QCOMPARE(text(&dialog, "LayerCrs"), QStringLiteral("none (the source CRS below)"));
                QVERIFY(control<QComboBox>(&dialog, "XField")->isEnabled());
                QCOMPARE(control<QLineEdit>(&dialog, "SourceCrs")->text(),
                         QStringLiteral("EPSG:4326"));
                control<QPushButton>(&dialog, "OkButton")->click();
            },
            answered = false);
        control<QPushButton>(form, "ExtraSites")->click();
        QVERIFY(answered);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(readBytes(dir->file("depots.GRT")),
                 "1 9" + decimal.toStdString() + "5 50" + decimal.toStdString() + "5 0 0 0\r\n");
        QCOMPARE(text(form, "NoNodesReadExtra"), QStringLiteral("1 Nodes in file without names"));

        // The node files load as any others do, in the locale's decimal separator.
        control<QRadioButton>(form, "ComputeDistances")->click();
        prompts->box(BoxType::Confirm, "Do you want to save distances?", Buttons::YesNo,
                     Answer::No);
        control<QPushButton>(form, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->NodeCount, uint16_t{3});
        QCOMPARE(store->NodeTable[3].YCoord, 50.5);
    }

    void aRefusalKeepsTheDialogOpenAndCancelLeavesNoFile() {
        TestLayer layer = utmSites();
        layer.crs = "EPSG:4326";
        layer.features[0].wkt = "POINT (9.5 50.5)";
        layer.features[1].wkt = "POINT (9.75 50.25)";
        const std::string path = dir->file("sites.gpkg");
        writeTestLayers(path, "GPKG", {layer});
        dir->write("sites.EUC", "old\r\n");
        form->show();
        control<QRadioButton>(form, "Euclidean")->click();
        prompts->openDialog(path)
            .box(BoxType::Error,
                 "File [" + path +
                     "]: layer 'sites' is in geographic coordinates (WGS 84 (EPSG:4326)); "
                     "Euclidean and Manhattan distances need projected ones: write a .GRT node "
                     "file for Great Circle distances, or give a projected CRS (--crs, for "
                     "example EPSG:25832)",
                 Buttons::Ok)
            .saveDialog(dir->file("sites.EUC"))
            .box(BoxType::Confirm,
                 "File [" + dir->file("sites.EUC") + "] exists.... Do you want to replace it?",
                 Buttons::YesNo, Answer::No)
            .saveDialog({});
        bool answered = false;
        whenImportOpens(
            [](TLayerImportForm& dialog) {
                auto* ok = control<QPushButton>(&dialog, "OkButton");
                ok->click();
                QVERIFY(dialog.isVisible());
                QVERIFY(activate(&dialog));
                typeInto(control<QLineEdit>(&dialog, "TargetCrs"), QStringLiteral("EPSG:25832"));
                ok->click();
                QVERIFY(dialog.isVisible());
                control<QPushButton>(&dialog, "CancelButton")->click();
            },
            answered);
        control<QPushButton>(form, "SpecifyDemand")->click();
        QVERIFY(answered);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(readBytes(dir->file("sites.EUC")), std::string("old\r\n"));
        QCOMPARE(store->DemandFileName, std::string());
        QVERIFY(control<QPushButton>(form, "SpecifyDemand")->isEnabled());
        QVERIFY(control<QLabel>(form, "DataFileToRead")->isHidden());
    }

    void theDialogReadsWellLightAndDark() {
        GdalLayers gis;
        LayerSummary layer{"stations\x1b[31m", {"name", "pop"}, {}, 1234, true};
        TLayerImportForm light(*prompts, gis, dir->file("x.csv"), {layer}, Metrics[1], "");
        light.show();
        QCOMPARE(control<QComboBox>(&light, "LayerChoice")->currentText(),
                 QStringLiteral("stations\u241b[31m"));
        QCOMPARE(text(&light, "FeatureCount"),
                 localized("1,234") + QStringLiteral(" (a node file holds at most 901)"));
        QCOMPARE(controlsWithoutAUsefulName(&light), QStringList());
        QCOMPARE(hardToReadTexts(&light), QStringList());
        QCOMPARE(controlsAcrossFrames(&light), QStringList());
        QCOMPARE(buttonsWithCrampedCaptions(&light), QStringList());
        DarkPalette dark;
        TLayerImportForm darkForm(*prompts, gis, dir->file("x.csv"), {layer}, Metrics[0], "");
        darkForm.show();
        QCOMPARE(hardToReadTexts(&darkForm), QStringList());
        QCOMPARE(indicatorsHardToTell(&darkForm), QStringList());
    }

private:
    TLoadDataVelmoraForm* form = nullptr;
};

VELMORA_TEST_MAIN(LayerImportTest)
#include "LayerImportTest.moc"
