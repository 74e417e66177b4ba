#include "report/CoverageCharts.h"
#include "report/NodeMapChart.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numeric>

#include "report/ChartLines.h"
#include "report/ChartScale.h"
#include "report/WeightedDemand.h"
#include "tests/support/TestMatrices.h"

namespace {

const NumberSeparators English{'.', ","};

std::vector<std::string> labels(const std::vector<AxisTick>& ticks) {
    std::vector<std::string> texts;
    for (const AxisTick& tick : ticks) {
        texts.push_back(tick.label);
    }
    return texts;
}

}  // namespace

TEST(ChartScale, RoundStepsAndTicks) {
    EXPECT_EQ(niceStep(0.3L), 0.5L);
    EXPECT_EQ(niceStep(1), 1);
    EXPECT_EQ(niceStep(23.75L), 50);
    EXPECT_EQ(niceStep(501), 1000);
    EXPECT_EQ(labels(niceTicks(-5, 145, 8, false, English)),
              (std::vector<std::string>{"0", "20", "40", "60", "80", "100", "120", "140"}));
    EXPECT_EQ(labels(niceTicks(-0.3, 0.32, 6, false, English)),
              (std::vector<std::string>{"-0.3", "-0.2", "-0.1", "0.0", "0.1", "0.2", "0.3"}));
    EXPECT_EQ(labels(niceTicks(0, 3, 8, true, English)),
              (std::vector<std::string>{"0", "1", "2", "3"}));
    EXPECT_EQ(labels(niceTicks(0, 25000, 5, true, English)),
              (std::vector<std::string>{"0", "5,000", "10,000", "15,000", "20,000", "25,000"}));
}

TEST(ChartScale, EmptyOrEndlessRangesGiveFewTicksOrNone) {
    EXPECT_TRUE(niceTicks(3, 3, 8, false, English).empty());
    EXPECT_TRUE(niceTicks(5, 1, 8, false, English).empty());
    const auto wide = niceTicks(-1.7e308, 1.7e308, 8, false, English);
    EXPECT_FALSE(wide.empty());
    EXPECT_LE(wide.size(), 33u);
}

TEST(DistanceBins, CoveragePlusOneStartsABinAndEveryCellIsCounted) {
    const int n = 41;
    const TDataStore store =
        generatedStore(n, [](int i, int j) { return i == j ? 0 : (i * 37 + j * 11) % 1001; });
    const CoverageReport report = buildCoverageReport(store, n, n, 300);
    const DistanceBins bins = binOffDiagonalDistances(store, report, 40);
    EXPECT_EQ(bins.width, 50);
    EXPECT_EQ((301 - bins.first) % bins.width, 0);
    EXPECT_LE(bins.first, report.offDiagonal->minimum);
    EXPECT_GT(bins.first + static_cast<int64_t>(bins.cells.size()) * bins.width,
              report.offDiagonal->maximum);
    EXPECT_EQ(std::accumulate(bins.cells.begin(), bins.cells.end(), int64_t{0}),
              report.offDiagonalCells);
    int64_t upToCoverage = 0;
    for (std::size_t b = 0; b < bins.cells.size(); ++b) {
        if (bins.first + static_cast<int64_t>(b + 1) * bins.width - 1 <= 300) {
            upToCoverage += bins.cells[b];
        }
    }
    EXPECT_EQ(upToCoverage, report.offDiagonalWithinCoverage);
}

TEST(DistanceBins, NarrowAndExtremeSpreads) {
    const TDataStore narrow =
        matrixStore({{0, 5, -2, 9}, {7, 0, 0, 10}, {-2, 0, 0, 12}, {9, 10, 12, 3}});
    const DistanceBins small =
        binOffDiagonalDistances(narrow, buildCoverageReport(narrow, 4, 3, 5), 40);
    EXPECT_EQ(small.width, 1);
    EXPECT_EQ(small.first, -2);
    EXPECT_EQ(small.cells, (std::vector<int64_t>{2, 0, 2, 0, 0, 0, 0, 1, 0, 1, 0, 2, 2, 0, 2}));

    const TDataStore extreme = matrixStore({{0, INT32_MAX}, {INT32_MIN, 0}});
    const CoverageReport report = buildCoverageReport(extreme, 2, 2, INT32_MAX);
    const DistanceBins wide = binOffDiagonalDistances(extreme, report, 40);
    EXPECT_EQ(std::accumulate(wide.cells.begin(), wide.cells.end(), int64_t{0}), 2);
    EXPECT_LE(wide.cells.size(), 41u);
    EXPECT_EQ(wide.cells.front(), 1);
    EXPECT_EQ(wide.cells.back(), 1);
}

TEST(DistanceHistogramChart, BarsSplitAtTheCoverageWithItsShareLabelled) {
    const TDataStore store =
        matrixStore({{0, 5, -2, 9}, {7, 0, 0, 10}, {-2, 0, 0, 12}, {9, 10, 12, 3}});
    const CoverageReport report = buildCoverageReport(store, 4, 3, 5);
    const Chart chart = distanceHistogramChart(report, binOffDiagonalDistances(store, report, 40),
                                               computedSource('G'), English);
    ASSERT_EQ(chart.bars.size(), 15u);
    for (const ChartBar& bar : chart.bars) {
        EXPECT_EQ(bar.colour, bar.to <= 5.5 ? ChartColours::Blue : ChartColours::Grey) << bar.from;
    }
    EXPECT_EQ(chart.bars.front().height, 2);
    ASSERT_TRUE(chart.rule);
    EXPECT_EQ(chart.rule->x, 5.5);
    EXPECT_EQ(chart.rule->label, "Coverage 5 miles: 41.7% within");
    EXPECT_EQ(chart.x.title, "Distance (miles)");
    EXPECT_EQ(chart.x.low, -2.5);
    EXPECT_EQ(chart.x.high, 12.5);
    EXPECT_GE(chart.y.high, 2);
    EXPECT_GE(chart.width, 800);
    EXPECT_GE(chart.height, 600);
}

TEST(DistanceHistogramChart, ACoverageOutsideTheDistancesIsNamedNotDrawn) {
    const TDataStore store = matrixStore({{0, 5}, {6, 0}});
    const CoverageReport report = buildCoverageReport(store, 2, 2, 1000);
    const Chart chart = distanceHistogramChart(report, binOffDiagonalDistances(store, report, 40),
                                               computedSource('E'), English);
    EXPECT_FALSE(chart.rule);
    EXPECT_EQ(chart.note, "2 cells (100.0%) within the coverage of 1,000, above every distance");

    const CoverageReport single = buildCoverageReport(matrixStore({{0}}), 1, 1, 10);
    const Chart empty = distanceHistogramChart(single, {}, computedSource('E'), English);
    EXPECT_TRUE(empty.bars.empty());
    EXPECT_EQ(empty.title, "Off-diagonal distances: 0 cells of 1 node");
    EXPECT_EQ(empty.note, "No off-diagonal distances: fewer than two nodes");
}

TEST(NodeMapChart, MarksByKindWithTheIsolatedOnTopAndOneScale) {
    // Demand nodes 1..3 (node 3 far from all), candidate sites 4 and 5.
    const TDataStore store = placedStore({{0, 0}, {3, 4}, {100, 40}, {1, 1}, {5, 5}}, 'E');
    const CoverageReport report = buildCoverageReport(store, 5, 3, 10);
    ASSERT_EQ(report.isolatedDemandNodes, std::vector<int>{3});
    const Chart chart = nodeMapChart(store, report, computedSource('E'), English);
    ASSERT_EQ(chart.marks.size(), 5u);
    const auto& last = chart.marks.back();
    EXPECT_EQ(last.shape, MarkShape::Square);
    EXPECT_EQ(last.colour, ChartColours::Vermillion);
    EXPECT_EQ(last.x, 100);
    int circles = 0;
    int triangles = 0;
    for (const ChartMark& mark : chart.marks) {
        circles += mark.shape == MarkShape::Circle && mark.colour == ChartColours::Blue;
        triangles += mark.shape == MarkShape::Triangle && mark.colour == ChartColours::Orange;
        EXPECT_GT(mark.x, chart.x.low);
        EXPECT_LT(mark.x, chart.x.high);
        EXPECT_GT(mark.y, chart.y.low);
        EXPECT_LT(mark.y, chart.y.high);
    }
    EXPECT_EQ(circles, 2);
    EXPECT_EQ(triangles, 2);
    const double acrossPerPixel =
        (chart.x.high - chart.x.low) / (chart.plot.right - chart.plot.left);
    const double upPerPixel = (chart.y.high - chart.y.low) / (chart.plot.bottom - chart.plot.top);
    EXPECT_NEAR(acrossPerPixel, upPerPixel, 1e-9);
    EXPECT_EQ(chart.title, "Nodes at coverage 10: 1 of 3 demand points isolated");
    EXPECT_EQ(chart.legend[1].text, "Isolated demand points (1)");
}

TEST(NodeMapChart, GreatCircleAxesAndCoincidentOrFarFlungNodes) {
    TDataStore one = placedStore({{-71.06, 42.36}}, 'G');
    const Chart single =
        nodeMapChart(one, buildCoverageReport(one, 1, 1, 0), computedSource('G'), English);
    EXPECT_EQ(single.x.title, "Longitude (degrees)");
    EXPECT_EQ(single.y.title, "Latitude (degrees)");
    EXPECT_LT(single.x.low, -71.06);
    EXPECT_GT(single.x.high, -71.06);
    EXPECT_EQ(single.marks.front().shape, MarkShape::Square);
    EXPECT_EQ(single.title, "Nodes at coverage 0 miles: 1 of 1 demand point isolated");
    EXPECT_EQ(single.note,
              "Longitude and latitude; east\u2013west to the scale of latitude 42.4\u00B0");

    TDataStore far = matrixStore({{0, 1}, {1, 0}});
    storeNode(far, 1, -1e308, 0);
    storeNode(far, 2, 1e308, 1e308);
    const Chart chart =
        nodeMapChart(far, buildCoverageReport(far, 2, 2, 5), computedSource('E'), English);
    for (const ChartMark& mark : chart.marks) {
        const PixelPoint at = chartPixel(chart, mark.x, mark.y);
        EXPECT_TRUE(std::isfinite(at.x) && std::isfinite(at.y));
        EXPECT_GE(at.x, 0);
        EXPECT_LE(at.x, chart.width);
    }
}

TEST(NodeMapChart, EachDemandPointsAreaGrowsWithItsDemand) {
    // Demand nodes 1..3 (node 3 isolated), candidate sites 4 and 5.
    const TDataStore store = placedStore({{0, 0}, {3, 4}, {100, 40}, {1, 1}, {5, 5}}, 'E');
    CoverageReport report = buildCoverageReport(store, 5, 3, 10);
    countDemand(report, {0, 50, 100}, 100);
    const Chart chart = nodeMapChart(store, report, computedSource('E'), English);
    ASSERT_EQ(chart.marks.size(), 5u);
    // Areas from a 5-pixel mark at no demand to a 26-pixel one at the greatest, larger first.
    const auto area = [](double across) { return across * across; };
    EXPECT_EQ(chart.marks[0].x, 3);
    EXPECT_NEAR(area(chart.marks[0].size), 25 + (676 - 25) * 0.5, 1e-9);
    EXPECT_EQ(chart.marks[1].x, 0);
    EXPECT_NEAR(chart.marks[1].size, 5, 1e-9);
    EXPECT_EQ(chart.marks.back().shape, MarkShape::Square);
    EXPECT_NEAR(chart.marks.back().size, 26, 1e-9);
    EXPECT_EQ(chart.marks[2].size, 12);
    EXPECT_EQ(chart.legend[0].text, "Demand points (2), area by demand");
    EXPECT_EQ(chart.legend[1].text, "Isolated demand points (1), area by demand");
    EXPECT_EQ(chart.legend[2].text, "Candidate sites (2)");

    // No demand anywhere: the plain sizes, and the legend says nothing of area.
    countDemand(report, {0, 0, 0}, 100);
    const Chart plain = nodeMapChart(store, report, computedSource('E'), English);
    EXPECT_EQ(plain.marks[0].size, 8);
    EXPECT_EQ(plain.marks.back().size, 12);
    EXPECT_EQ(plain.legend[0].text, "Demand points (2)");
}

TEST(ChartLines, RoadsAreCutAtThePlotAndThinnedToItsPixels) {
    Chart chart;  // 86 pixels to a unit
    chart.x.low = chart.y.low = 0;
    chart.x.high = chart.y.high = 10;
    using Lines = std::vector<std::vector<std::pair<double, double>>>;
    const std::pair<std::vector<RoadPlace>, Lines> rows[] = {
        {{{1, 1}, {2, 2}}, {{{1, 1}, {2, 2}}}},
        {{{-5, 5}, {15, 5}}, {{{0, 5}, {10, 5}}}},
        {{{5, 5}, {15, 5}, {5, 6}}, {{{5, 5}, {10, 5}}, {{10, 5.5}, {5, 6}}}},
        {{{11, 11}, {12, 12}, {11, 12}}, {}},
        {{{1, 1}, {1.001, 1}, {1.002, 1}, {2, 1}}, {{{1, 1}, {2, 1}}}},
        {{{1, 1}, {1.001, 1}, {1.002, 1}}, {{{1, 1}, {1.002, 1}}}},
    };
    for (const auto& [road, expected] : rows) {
        chart.lines.clear();
        addRoadLines(chart, RoadLines{road, {0, road.size()}}, ChartColours::Road, 1);
        Lines drawn;
        for (const ChartLine& line : chart.lines) {
            drawn.emplace_back();
            for (const ChartPoint& point : line.points) {
                drawn.back().emplace_back(point.x, point.y);
            }
        }
        EXPECT_EQ(drawn, expected) << road.front().longitude;
    }
}

TEST(NodeMapChart, OnTheGlobeEastWestFollowsTheMiddleLatitudeAndLatitudeEndsAtThePoles) {
    const std::pair<std::vector<std::pair<double, double>>, double> rows[] = {
        {{{-122.3, 37.7}, {-122.1, 37.9}, {-122.2, 37.8}}, 37.8},
        {{{0, 88}, {180, 88.5}}, 88.25},
        {{{-180, -80}, {180, 80}}, 0},
    };
    for (const auto& [nodes, scaleLatitude] : rows) {
        const TDataStore store = placedStore(nodes, 'G');
        const int n = static_cast<int>(nodes.size());
        const Chart chart =
            nodeMapChart(store, buildCoverageReport(store, n, n, 5), computedSource('G'), English);
        const double acrossPerPixel =
            (chart.x.high - chart.x.low) / (chart.plot.right - chart.plot.left);
        const double upPerPixel =
            (chart.y.high - chart.y.low) / (chart.plot.bottom - chart.plot.top);
        EXPECT_NEAR(acrossPerPixel * std::cos(scaleLatitude * M_PI / 180), upPerPixel,
                    1e-9 * upPerPixel);
        EXPECT_GE(chart.y.low, -90);
        EXPECT_LE(chart.y.high, 90);
    }
}

TEST(NodeMapChart, ARoadMatrixNamesItsUnitAndDrawsItsRoadsUnderTheNodes) {
    const TDataStore store = placedStore({{0, 0}, {0.01, 0.01}}, 'G');
    MatrixSource source = roadSource("walk", true, "minutes");
    source.roads = std::make_shared<RoadLines>(RoadLines{{{0, 0}, {0.01, 0.01}, {5, 5}}, {0, 3}});
    const CoverageReport report = buildCoverageReport(store, 2, 2, 10);
    const Chart map = nodeMapChart(store, report, source, English);
    EXPECT_EQ(map.title, "Nodes at coverage 10 minutes: 0 of 2 demand points isolated");
    ASSERT_EQ(map.lines.size(), 1u);
    EXPECT_LE(map.lines[0].points.back().x, map.x.high);
    EXPECT_EQ(map.note,
              "Roads (walk) in light grey; east\u2013west to the scale of latitude 0.0\u00B0");
    const Chart histogram =
        distanceHistogramChart(report, binOffDiagonalDistances(store, report, 40), source, English);
    EXPECT_EQ(histogram.title, "Off-diagonal travel times: 2 cells of 2 nodes");
    EXPECT_EQ(histogram.x.title, "Travel time (minutes)");
}

// The picture files keep their layout; a window's frame lays the same map out at its own
// size and text size: its legend rows push the plot down, no tick labels crowd, and one
// unit is as long across as up.
TEST(ChartFrame, ThePicturesKeepTheirLayoutAndAWindowsFrameFitsItsOwnSize) {
    const TDataStore store = placedStore({{0, 0}, {3, 4}, {100, 40}, {1, 1}, {5, 5}}, 'E');
    const CoverageReport report = buildCoverageReport(store, 5, 3, 10);
    const Chart picture = nodeMapChart(store, report, computedSource('E'), English);
    EXPECT_EQ(std::vector<int>({picture.width, picture.height, picture.textSize, picture.plot.left,
                                picture.plot.top, picture.plot.right, picture.plot.bottom}),
              std::vector<int>({1000, 720, 14, 110, 118, 970, 630}));
    // A frame too small for the text is laid out at the smallest size that has the room.
    for (const ChartFrame& frame :
         {ChartFrame{540, 400, 12, 1}, ChartFrame{900, 700, 20, 1}, ChartFrame{200, 100, 12, 1}}) {
        const Chart chart = nodeMapChart(store, report, computedSource('E'), English, frame);
        ChartFrame taller = frame;
        taller.legendRows = 3;
        const Chart twoRowsMore = nodeMapChart(store, report, computedSource('E'), English, taller);
        EXPECT_EQ(chart.width, std::max(frame.width, 360));
        EXPECT_EQ(chart.height, std::max(frame.height, 283));
        EXPECT_EQ(chart.textSize, frame.textSize);
        EXPECT_LT(0, chart.plot.left);
        EXPECT_LT(chart.plot.left + 10 * frame.textSize, chart.plot.right);
        EXPECT_LT(chart.plot.right, chart.width);
        EXPECT_LT(0, chart.plot.top);
        EXPECT_LT(chart.plot.top + 5 * frame.textSize, chart.plot.bottom);
        EXPECT_LT(chart.plot.bottom, chart.height);
        EXPECT_GE(twoRowsMore.plot.top, chart.plot.top + 2 * frame.textSize);
        EXPECT_EQ(twoRowsMore.plot.bottom, chart.plot.bottom);
        for (const Chart* laidOut : {&chart, &twoRowsMore}) {
            const double acrossPerPixel =
                (laidOut->x.high - laidOut->x.low) / (laidOut->plot.right - laidOut->plot.left);
            const double upPerPixel =
                (laidOut->y.high - laidOut->y.low) / (laidOut->plot.bottom - laidOut->plot.top);
            EXPECT_NEAR(acrossPerPixel, upPerPixel, 1e-9);
        }
        ASSERT_GE(chart.x.ticks.size(), 2u);
        for (std::size_t t = 1; t < chart.x.ticks.size(); ++t) {
            const double apart = chartPixel(chart, chart.x.ticks[t].at, 0).x -
                                 chartPixel(chart, chart.x.ticks[t - 1].at, 0).x;
            EXPECT_GE(apart, 4 * frame.textSize) << frame.width;
        }
    }
}
