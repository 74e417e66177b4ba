#include "report/NodeMapChart.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numbers>

#include "report/ChartLines.h"
#include "report/ChartScale.h"
#include "report/ReportNumbers.h"

namespace {

// East-west scale of the map at the poles, where a degree of longitude would have no length.
constexpr long double SmallestEastWestScale = 0.01L;

struct Range {
    long double low = 0;
    long double high = 0;

    long double middle() const { return (low + high) / 2; }
    long double span() const { return high - low; }
};

// The range widened by a margin, never empty, and finite however far apart the values lie.
Range padded(Range range) {
    if (range.high <= range.low) {
        return {range.low - 1, range.high + 1};
    }
    const long double margin = range.span() * 0.05L;
    return {range.low - margin, range.high + margin};
}

double finite(long double value) {
    return static_cast<double>(std::clamp<long double>(value, -DBL_MAX, DBL_MAX));
}

// The nodes' X and Y ranges.
std::pair<Range, Range> nodeRanges(const TDataStore& store, int n) {
    Range x, y;
    for (int i = 1; i <= n; ++i) {
        const NodeRecord& node = store.NodeTable[i];
        x.low = i == 1 ? node.XCoord : std::min<long double>(x.low, node.XCoord);
        x.high = i == 1 ? node.XCoord : std::max<long double>(x.high, node.XCoord);
        y.low = i == 1 ? node.YCoord : std::min<long double>(y.low, node.YCoord);
        y.high = i == 1 ? node.YCoord : std::max<long double>(y.high, node.YCoord);
    }
    return {x, y};
}

// Sets both axes so that the nodes fill the plot at one scale; on the globe a degree of
// longitude counts `eastWest` of a degree of latitude. Latitudes beyond the poles are not
// shown: a plot that would need them ends higher up instead.
void setMapAxes(Chart& chart, const TDataStore& store, int n, bool globe, long double eastWest,
                const NumberSeparators& separators) {
    auto [nodesX, nodesY] = nodeRanges(store, n);
    const Range x = padded({nodesX.low * eastWest, nodesX.high * eastWest});
    Range y = padded(nodesY);
    const long double across = chart.plot.right - chart.plot.left;
    long double up = chart.plot.bottom - chart.plot.top;
    const long double perPixel = std::max(x.span() / across, y.span() / up);
    y = {y.middle() - perPixel * up / 2, y.middle() + perPixel * up / 2};
    if (globe && y.span() > 180) {
        const auto shorter = static_cast<int>(std::ceil(up - 180 / perPixel));
        chart.plot.bottom -= shorter;
        up -= shorter;
        y = {y.middle() - perPixel * up / 2, y.middle() + perPixel * up / 2};
    }
    if (globe) {
        const long double shift = std::max(-90 - y.low, 0.0L) - std::max(y.high - 90, 0.0L);
        y = {y.low + shift, y.high + shift};
    }
    const long double halfAcross = perPixel * across / 2;
    chart.x = valueAxis(globe ? "Longitude (degrees)" : "X coordinate",
                        finite((x.middle() - halfAcross) / eastWest),
                        finite((x.middle() + halfAcross) / eastWest), acrossTicks(chart, 8), false,
                        separators);
    chart.y = valueAxis(globe ? "Latitude (degrees)" : "Y coordinate", finite(y.low),
                        finite(y.high), upTicks(chart, 6), false, separators);
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

// Demand points, candidate sites and isolated demand points, in that order, with the legend.
void placeMarks(Chart& chart, const TDataStore& store, const CoverageReport& report,
                const NumberSeparators& separators) {
    const int n = report.nodes;
    const int isolated = static_cast<int>(report.isolatedDemandNodes.size());
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
}

}  // namespace

Chart nodeMapChart(const TDataStore& store, const CoverageReport& report,
                   const MatrixSource& source, const NumberSeparators& separators,
                   const ChartFrame& frame) {
    Chart chart = chartIn(frame);
    chart.title =
        "Nodes at coverage " + groupedInteger(report.coverage, separators) + unitSuffix(source) +
        ": " + groupedInteger(static_cast<int64_t>(report.isolatedDemandNodes.size()), separators) +
        " of " + countOf(report.demandNodes, "demand point", separators) + " isolated";
    const bool globe = placesOnTheGlobe(source);
    long double eastWest = 1;
    if (globe) {
        const long double middle = nodeRanges(store, report.nodes).second.middle();
        eastWest = std::max(std::cos(middle * std::numbers::pi_v<long double> / 180),
                            SmallestEastWestScale);
        chart.note = (source.roads ? "Roads (" + source.mode + ") in light grey; e"
                                   : std::string("Longitude and latitude; e")) +
                     "ast\u2013west to the scale of latitude " +
                     formatNumber(static_cast<double>(middle), 1, separators) + "\u00B0";
    } else {
        chart.note = source.metricCode == 'N'
                         ? "Coordinates from the node files; distances from the distance file"
                         : "Coordinates from the node files";
    }
    setMapAxes(chart, store, report.nodes, globe, eastWest, separators);
    placeMarks(chart, store, report, separators);
    if (source.roads) {
        addRoadLines(chart, *source.roads, ChartColours::Road, 1);
    }
    return chart;
}
