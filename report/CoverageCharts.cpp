#include "report/CoverageCharts.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "report/ChartScale.h"
#include "report/ReportNumbers.h"

namespace {

int64_t floorDivide(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

DistanceBins emptyDistanceBins(const CoverageReport& report, int targetBins) {
    DistanceBins bins;
    if (!report.offDiagonal) {
        return bins;
    }
    const int64_t low = report.offDiagonal->minimum;
    const int64_t high = report.offDiagonal->maximum;
    const long double rough = static_cast<long double>(high - low + 1) / targetBins;
    bins.width = std::max<int64_t>(1, static_cast<int64_t>(std::ceil(niceStep(rough))));
    const int64_t edge = static_cast<int64_t>(report.coverage) + 1;
    bins.first = edge + floorDivide(low - edge, bins.width) * bins.width;
    bins.cells.assign(static_cast<std::size_t>((high - bins.first) / bins.width + 1), 0);
    return bins;
}

DistanceBins binOffDiagonalDistances(const TDataStore& store, const CoverageReport& report,
                                     int targetBins) {
    DistanceBins bins = emptyDistanceBins(report, targetBins);
    if (bins.cells.empty()) {
        return bins;
    }
    const int n = report.nodes;
    for (int i = 1; i <= n; ++i) {
        const int32_t* row = store.DistanceMatrix[i].columns();
        for (int j = 1; j <= n; ++j) {
            if (j != i) {
                ++bins.cells[static_cast<std::size_t>((row[j - 1] - bins.first) / bins.width)];
            }
        }
    }
    return bins;
}

Chart distanceHistogramChart(const CoverageReport& report, const DistanceBins& bins,
                             const MatrixSource& source, const NumberSeparators& separators,
                             const ChartFrame& frame) {
    Chart chart = chartIn(frame);
    const std::string coverage = groupedInteger(report.coverage, separators) + unitSuffix(source);
    chart.title = "Off-diagonal " + measureNoun(source) + ": " +
                  countOf(report.offDiagonalCells, "cell", separators) + " of " +
                  countOf(report.nodes, "node", separators);
    const std::string within =
        percentText(report.offDiagonalWithinCoverage, report.offDiagonalCells, separators);
    std::string detail = cellUnit(source);
    if (bins.width > 1) {
        detail += (detail.empty() ? "bars " : ", bars ") + groupedInteger(bins.width, separators) +
                  " wide";
    }
    const std::string axisTitle =
        detail.empty() ? measureName(source) : measureName(source) + " (" + detail + ")";
    const std::string countTitle = "Cells (ordered node pairs)";
    if (bins.cells.empty()) {
        chart.note = "No off-diagonal distances: fewer than two nodes";
        chart.x = valueAxis(axisTitle, 0, 1, 0, true, separators);
        chart.y = valueAxis(countTitle, 0, 1, 0, true, separators);
        return chart;
    }
    const double low = static_cast<double>(bins.first) - 0.5;
    const double high =
        static_cast<double>(bins.first + static_cast<int64_t>(bins.cells.size()) * bins.width) -
        0.5;
    const int64_t tallest = *std::max_element(bins.cells.begin(), bins.cells.end());
    chart.x = valueAxis(axisTitle, low, high, acrossTicks(chart, 8), true, separators);
    // Up to the first tick above the tallest bar, with a little room.
    const auto headroom = static_cast<double>(tallest) * 1.05;
    const int countTicks = upTicks(chart, 5);
    const long double step = tickStep(headroom, countTicks, true);
    chart.y = valueAxis(countTitle, 0, static_cast<double>(std::ceil(headroom / step) * step),
                        countTicks, true, separators);
    for (std::size_t b = 0; b < bins.cells.size(); ++b) {
        const int64_t from = bins.first + static_cast<int64_t>(b) * bins.width;
        const int64_t to = from + bins.width - 1;
        chart.bars.push_back({static_cast<double>(from) - 0.5, static_cast<double>(to) + 0.5,
                              static_cast<double>(bins.cells[b]),
                              to <= report.coverage ? ChartColours::Blue : ChartColours::Grey});
    }
    const double line = report.coverage + 0.5;
    const std::string share = countOf(report.offDiagonalWithinCoverage, "cell", separators) + " (" +
                              within + ") within the coverage of " + coverage;
    if (line >= low && line <= high) {
        chart.rule = ChartRule{line, "Coverage " + coverage + ": " + within + " within"};
        chart.note = share;
    } else {
        chart.note = share + (line < low ? ", below every distance" : ", above every distance");
    }
    chart.legend = {
        {LegendEntry::Kind::Box, MarkShape::Square, ChartColours::Blue,
         "Up to the coverage distance"},
        {LegendEntry::Kind::Box, MarkShape::Square, ChartColours::Grey, "Beyond it"},
        {LegendEntry::Kind::Line, MarkShape::Square, ChartColours::Black, "Coverage distance"}};
    return chart;
}
