#include "preview/CoveragePreview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QWindow>

#include "platform/AtomicFile.h"
#include "platform/RunTimeError.h"
#include "platform/qt/DisplayableLine.h"
#include "platform/qt/EventTrace.h"
#include "platform/qt/LocaleNumbers.h"
#include "platform/qt/WindowPlacement.h"
#include "report/CoverageCharts.h"
#include "report/NodeMapChart.h"
#include "report/ReportText.h"
#include "report/WeightedDemand.h"
#include "report/pictures/ChartPainter.h"
#include "store/DataStore.h"
#include "store/SaveFileChoice.h"
#include "ui_CoveragePreview.h"

namespace {

const char* const PictureFilter = "PNG Pictures|*.png|All Files|*.*";

FileDialogSettings pictureDialog(const char* name) {
    FileDialogSettings dialog;
    dialog.filter = PictureFilter;
    dialog.defaultExt = "png";
    dialog.fileName = name;
    return dialog;
}

}  // namespace

TCoveragePreview::TCoveragePreview(Prompts& prompts, const TDataStore& store, QWidget* dialog)
    : QWidget(nullptr, Qt::Window),
      ui(std::make_unique<Ui::TCoveragePreview>()),
      m_prompts(prompts),
      m_store(store),
      m_dialog(dialog),
      m_saveHistogram(pictureDialog("histogram.png")),
      m_saveMap(pictureDialog("map.png")) {
    ui->setupUi(this);
    // Opened from the dialog, it leaves the keyboard there.
    setAttribute(Qt::WA_ShowWithoutActivating);
    connect(ui->SaveHistogram, &QPushButton::clicked, this, &TCoveragePreview::SaveHistogramClick);
    connect(ui->SaveMap, &QPushButton::clicked, this, &TCoveragePreview::SaveMapClick);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
    for (ChartView* view : {ui->Histogram, ui->NodeMap}) {
        connect(view, &ChartView::painted, this,
                [view] { EventTrace::note("painted", view->objectName()); });
    }
    // Where the screen is too small for both windows, the preview moves off each field of the
    // dialog that takes the keyboard.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (isVisible() && now && now->window() == m_dialog) {
            keepClearOf(this, now, ui->PreviewContents->sizeHint());
        }
    });
}

TCoveragePreview::~TCoveragePreview() = default;

void TCoveragePreview::matrixChanged() {
    m_profile.reset();
}

void TCoveragePreview::open(int32_t coverage) {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    if (!m_profile) {
        readProblem();
    }
    showCoverage(coverage);
    if (!windowHandle()) {
        // A window of its own, not of the dialog's style, but kept above the dialog.
        create();
        windowHandle()->setTransientParent(m_dialog->windowHandle());
    }
    placeBeside(this, m_dialog, ui->PreviewContents->sizeHint(),
                ui->PreviewContents->minimumSizeHint());
    const bool dialogActive = m_dialog->isActiveWindow();
    show();
    // Some platforms give every window they show the keyboard: it goes back to the dialog.
    if (dialogActive) {
        m_dialog->activateWindow();
    }
}

void TCoveragePreview::followCoverage(int32_t coverage) {
    if (isVisible()) {
        showCoverage(coverage);
    }
}

void TCoveragePreview::readProblem() {
    const int n = m_store.NodeCount;
    const int demandNodes = m_store.DemandNodeCount;
    m_refusal.clear();
    m_demand.clear();
    if (const auto negative = firstNegativeDemand(m_store, demandNodes)) {
        m_refusal = "File [" + m_store.DemandFileName + "], line " +
                    std::to_string(negative->node) + ": " +
                    negativeDemandText(*negative, localeSeparators().decimal);
    } else {
        m_demand = weightedDemands(m_store, demandNodes, m_store.DemandWeightPercent);
    }
    m_profile.emplace(m_store, n, demandNodes);
}

void TCoveragePreview::showCoverage(int32_t coverage) {
    const bool refused = !m_refusal.empty();
    ui->Refusal->setText(visibleText(m_refusal));
    ui->Refusal->setVisible(refused);
    for (QWidget* part : std::initializer_list<QWidget*>{ui->NumbersPanel, ui->Charts,
                                                         ui->SaveHistogram, ui->SaveMap}) {
        part->setVisible(!refused);
    }
    if (refused) {
        return;
    }
    auto report = std::make_shared<CoverageReport>(m_profile->report(coverage));
    countDemand(*report, m_demand, m_store.DemandWeightPercent);
    const NumberSeparators separators = localeSeparators();
    ui->Histogram->setChart([report, bins = m_profile->bins(*report, HistogramBins),
                             source = m_store.Source, separators](const ChartFrame& frame) {
        return distanceHistogramChart(*report, bins, source, separators, frame);
    });
    ui->NodeMap->setChart(
        [report, source = m_store.Source, separators, &store = m_store](const ChartFrame& frame) {
            return nodeMapChart(store, *report, source, separators, frame);
        });
    showNumbers(*report);
}

void TCoveragePreview::showNumbers(const CoverageReport& report) {
    const CoverageSummary summary =
        summarizeCoverageReport(report, m_store.Source, localeSeparators());
    const auto put = [](QLabel* label, const std::string& text) {
        label->setText(QString::fromStdString(text));
    };
    const QString measure = QString::fromStdString(measureNoun(m_store.Source));
    ui->MatrixNote->setText(QStringLiteral("Matrix: ") + visibleText(summary.source) +
                            QStringLiteral("\nThe ") + measure +
                            QStringLiteral(" as they stand, before the equations are applied"));
    ui->Charts->setTabText(ui->Charts->indexOf(ui->HistogramTab),
                           measure.left(1).toUpper() + measure.mid(1));
    put(ui->CoverageValue, summary.coverage);
    put(ui->NodesValue, summary.nodes);
    put(ui->DemandValue, summary.demand);
    put(ui->CellsWithinCoverage, summary.cellsWithinCoverage);
    put(ui->IsolatedDemandNodes, summary.isolatedDemandNodes);
    put(ui->DemandWithinCoverage, summary.demandWithinCoverage);
    put(ui->CoverageToCoverEveryDemandNode, summary.coverageToCoverEveryDemandNode);
    QLabel* const equations[] = {ui->EquationCells0, ui->EquationCells1, ui->EquationCells2,
                                 ui->EquationCells3};
    for (std::size_t k = 0; k < summary.equationCells.size(); ++k) {
        put(equations[k], summary.equationCells[k]);
    }
    put(ui->AsymmetricPairs, summary.asymmetricPairs);
    put(ui->ZeroDistancePairs, summary.zeroDistancePairs);
    put(ui->NegativeCells, summary.negativeCells);
    put(ui->NonZeroDiagonalCells, summary.nonZeroDiagonalCells);
}

void TCoveragePreview::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TCoveragePreview::closeEvent(QCloseEvent* event) {
    // The keyboard goes back to the dialog the preview follows.
    if (isActiveWindow() && m_dialog->isVisible()) {
        m_dialog->activateWindow();
    }
    QWidget::closeEvent(event);
}

// The files are the pictures velmora-batch writes, whatever the window's size and palette.
void TCoveragePreview::SaveHistogramClick() {
    savePicture(ui->Histogram->chartIn(ChartFrame{}), m_saveHistogram);
}

void TCoveragePreview::SaveMapClick() {
    savePicture(ui->NodeMap->chartIn(ChartFrame{}), m_saveMap);
}

void TCoveragePreview::savePicture(const Chart& chart, FileDialogSettings& dialog) {
    const std::string path = chooseFileToSave(m_prompts, dialog);
    if (path.empty()) {
        return;
    }
    AtomicFileWriter file(path);
    const QByteArray png = pngBytes(paintChart(chart));
    if (png.isEmpty()) {
        throw inOutErrorFor("Cannot write file", path, "the picture could not be encoded");
    }
    if (!file.write(std::string_view(png.constData(), static_cast<std::size_t>(png.size()))) ||
        !file.commit()) {
        throw inOutErrorFor("Cannot write file", path, file.error());
    }
}
