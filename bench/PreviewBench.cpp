#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "bench/BenchProblems.h"
#include "report/CoverageCharts.h"
#include "report/CoverageProfile.h"
#include "report/NodeMapChart.h"
#include "report/WeightedDemand.h"
#include "report/pictures/ChartPainter.h"
#include "report/pictures/OffscreenApplication.h"

namespace {

// The size a chart of the preview takes in its window, and its text, in pixels.
constexpr ChartFrame Shown{540, 400, 12, 2};

// Both charts of the preview at one coverage, laid out and painted as the window does: at
// its size and text size.
void paintPreview(const TDataStore& store, const CoverageProfile& profile,
                  const std::vector<double>& demand, int32_t coverage, QImage& target) {
    CoverageReport report = profile.report(coverage);
    countDemand(report, demand, 30);
    const Chart histogram =
        distanceHistogramChart(report, profile.bins(report, HistogramBins), GreatCircle, {}, Shown);
    const Chart map = nodeMapChart(store, report, GreatCircle, {}, Shown);
    for (const Chart* chart : {&histogram, &map}) {
        QPainter painter(&target);
        paintChart(painter, *chart);
    }
}

QImage shownChart() {
    return QImage(Shown.width, Shown.height, QImage::Format_RGB32);
}

// A new coverage: what the preview computes and paints, both charts counted.
void previewRedrawPainted(benchmark::State& state) {
    ensureOffscreenApplication();
    TDataStore store;
    loadDemandProblem(store);
    const CoverageProfile profile(store, Nodes, DemandNodes);
    const std::vector<double> demand = weightedDemands(store, DemandNodes, 30);
    QImage target = shownChart();
    int32_t coverage = 0;
    for (auto _ : state) {
        coverage = (coverage + 137) % 12000;
        paintPreview(store, profile, demand, coverage, target);
    }
}

// Opening: the rows sorted, the demand weighted, both charts computed and painted.
void previewOpenPainted(benchmark::State& state) {
    ensureOffscreenApplication();
    TDataStore store;
    loadDemandProblem(store);
    QImage target = shownChart();
    for (auto _ : state) {
        const CoverageProfile profile(store, Nodes, DemandNodes);
        paintPreview(store, profile, weightedDemands(store, DemandNodes, 30), 300, target);
    }
}

}  // namespace

BENCHMARK(previewRedrawPainted)->Unit(benchmark::kMillisecond);
BENCHMARK(previewOpenPainted)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
