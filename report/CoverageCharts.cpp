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

std::string unitSuffix(char metricCode) {
    return metricCode == 'G' ? " miles" : "";
}

ChartAxis valueAxis(std::string title, double low, double high, int ticks, bool integers,
                    const NumberSeparators& separators) {
    ChartAxis axis;
    axis.title = std::move(title);
    axis.low = low;
    axis.high = high;
    axis.ticks = niceTicks(low, high, ticks, integers, separators);
    return axis;
}

// low..high widened by a margin, never empty, and finite however far apart the values lie.
std::pair<long double, long double> padded(long double low, long double high) {
    if (high <= low) {
        return {low - 1, high + 1};
    }
    const long double margin = (high - low) * 0.05L;
    return {low - margin, high + margin};
}

// Pixels across a demand point's mark: its area grows linearly from the smallest mark at no
// demand to the largest at the greatest demand.
double demandMarkSize(double demand, double greatest) {
    constexpr double Smallest = 5;
    constexpr double Largest = 26;
    const double share = std::clamp(demand / greatest, 0.0, 1.0);
    return std::sqrt(Smallest * Smallest + (Largest * Largest - Smallest * Smallest) * share);
}

double demandOfNode(const std::vector<double>& demand, int node) {
    const auto index = static_cast<std::size_t>(node - 1);
    return index < demand.size() ? demand[index] : 0;
}

double finite(long double value) {
    return static_cast<double>(std::clamp<long double>(value, -DBL_MAX, DBL_MAX));
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
                             char metricCode, const NumberSeparators& separators) {
    Chart chart;
    const std::string unit = unitSuffix(metricCode);
    const std::string coverage = groupedInteger(report.coverage, separators) + unit;
    chart.title =
        "Off-diagonal distances: " + countOf(report.offDiagonalCells, "cell", separators) + " of " +
        countOf(report.nodes, "node", separators);
    const std::string within =
        percentText(report.offDiagonalWithinCoverage, report.offDiagonalCells, separators);
    std::string detail = metricCode == 'G' ? "miles" : "";
    if (bins.width > 1) {
        detail += (detail.empty() ? "bars " : ", bars ") + groupedInteger(bins.width, separators) +
                  " wide";
    }
    const std::string axisTitle = detail.empty() ? "Distance" : "Distance (" + detail + ")";
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
    chart.x = valueAxis(axisTitle, low, high, 8, true, separators);
    // Up to the first tick above the tallest bar, with a little room.
    const auto headroom = static_cast<double>(tallest) * 1.05;
    const long double step = tickStep(headroom, 5, true);
    chart.y = valueAxis(countTitle, 0, static_cast<double>(std::ceil(headroom / step) * step), 5,
                        true, separators);
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

Chart nodeMapChart(const TDataStore& store, const CoverageReport& report, char metricCode,
                   const NumberSeparators& separators) {
    Chart chart;
    const int n = report.nodes;
    const int isolated = static_cast<int>(report.isolatedDemandNodes.size());
    chart.title = "Nodes at coverage " + groupedInteger(report.coverage, separators) +
                  unitSuffix(metricCode) + ": " + groupedInteger(isolated, separators) + " of " +
                  countOf(report.demandNodes, "demand point", separators) + " isolated";
    chart.note = metricCode == 'G' ? "Longitude and latitude drawn to the same scale"
                 : metricCode == 'N'
                     ? "Coordinates from the node files; distances from the distance file"
                     : "Coordinates from the node files";
    long double lowX = 0, highX = 0, lowY = 0, highY = 0;
    for (int i = 1; i <= n; ++i) {
        const NodeRecord& node = store.NodeTable[i];
        lowX = i == 1 ? node.XCoord : std::min<long double>(lowX, node.XCoord);
        highX = i == 1 ? node.XCoord : std::max<long double>(highX, node.XCoord);
        lowY = i == 1 ? node.YCoord : std::min<long double>(lowY, node.YCoord);
        highY = i == 1 ? node.YCoord : std::max<long double>(highY, node.YCoord);
    }
    auto [x0, x1] = padded(lowX, highX);
    auto [y0, y1] = padded(lowY, highY);
    // One unit as long across as up: widen the range that would otherwise be stretched.
    const long double across = chart.plot.right - chart.plot.left;
    const long double up = chart.plot.bottom - chart.plot.top;
    const long double perPixel = std::max((x1 - x0) / across, (y1 - y0) / up);
    const long double middleX = (x0 + x1) / 2;
    const long double middleY = (y0 + y1) / 2;
    x0 = middleX - perPixel * across / 2;
    x1 = middleX + perPixel * across / 2;
    y0 = middleY - perPixel * up / 2;
    y1 = middleY + perPixel * up / 2;
    const bool greatCircle = metricCode == 'G';
    chart.x = valueAxis(greatCircle ? "Longitude (degrees)" : "X coordinate", finite(x0),
                        finite(x1), 8, false, separators);
    chart.y = valueAxis(greatCircle ? "Latitude (degrees)" : "Y coordinate", finite(y0), finite(y1),
                        6, false, separators);

    std::vector<bool> isIsolated(static_cast<std::size_t>(n) + 1, false);
    for (const int node : report.isolatedDemandNodes) {
        isIsolated[static_cast<std::size_t>(node)] = true;
    }
    // Once demand is counted, a demand point's area grows with it; the largest marks go
    // down first so that none hides a smaller one.
    const std::vector<double>* demand =
        report.demand && !report.demand->ofNode.empty() ? &report.demand->ofNode : nullptr;
    double greatest = 0;
    for (int i = 1; demand && i <= report.demandNodes; ++i) {
        greatest = std::max(greatest, demandOfNode(*demand, i));
    }
    const bool sized = greatest > 0;
    const auto place = [&](std::vector<int> nodes, MarkShape shape, Colour colour, double plain) {
        std::vector<std::pair<double, int>> marks;
        for (const int i : nodes) {
            marks.emplace_back(sized ? demandMarkSize(demandOfNode(*demand, i), greatest) : plain,
                               i);
        }
        std::stable_sort(marks.begin(), marks.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        for (const auto& [size, i] : marks) {
            const NodeRecord& node = store.NodeTable[i];
            chart.marks.push_back({node.XCoord, node.YCoord, shape, colour, size});
        }
    };
    std::vector<int> covered;
    for (int i = 1; i <= report.demandNodes; ++i) {
        if (!isIsolated[static_cast<std::size_t>(i)]) {
            covered.push_back(i);
        }
    }
    place(covered, MarkShape::Circle, ChartColours::Blue, 8);
    for (int i = report.demandNodes + 1; i <= n; ++i) {
        const NodeRecord& node = store.NodeTable[i];
        chart.marks.push_back(
            {node.XCoord, node.YCoord, MarkShape::Triangle, ChartColours::Orange, 12});
    }
    place(report.isolatedDemandNodes, MarkShape::Square, ChartColours::Vermillion, 12);
    const std::string byDemand = sized ? ", area by demand" : "";
    chart.legend = {
        {LegendEntry::Kind::Mark, MarkShape::Circle, ChartColours::Blue,
         "Demand points (" + groupedInteger(report.demandNodes - isolated, separators) + ")" +
             byDemand},
        {LegendEntry::Kind::Mark, MarkShape::Square, ChartColours::Vermillion,
         "Isolated demand points (" + groupedInteger(isolated, separators) + ")" + byDemand},
        {LegendEntry::Kind::Mark, MarkShape::Triangle, ChartColours::Orange,
         "Candidate sites (" + groupedInteger(n - report.demandNodes, separators) + ")"}};
    return chart;
}
