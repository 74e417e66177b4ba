#include "report/pictures/ChartPainter.h"

#include <gtest/gtest.h>

#include <QColor>
#include <clocale>
#include <string>

#include "report/CoverageCharts.h"
#include "report/NodeMapChart.h"
#include "report/pictures/OffscreenApplication.h"
#include "tests/support/TestMatrices.h"

namespace {

const NumberSeparators English{'.', ","};

bool shows(const QImage& image, PixelPoint at, const Colour& colour) {
    const QColor pixel = image.pixelColor(static_cast<int>(at.x), static_cast<int>(at.y));
    return pixel == QColor(colour.red, colour.green, colour.blue);
}

// Demand nodes 1..3 (node 3 isolated at coverage 10), candidate sites 4 and 5.
TDataStore smallProblem() {
    return placedStore({{0, 0}, {3, 4}, {100, 40}, {20, 20}, {60, 0}}, 'E');
}

}  // namespace

TEST(OffscreenApplication, StartsWithoutADisplayAndLeavesTheLocale) {
    std::setlocale(LC_ALL, "C");
    ensureOffscreenApplication();
    EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
    ensureOffscreenApplication();
}

TEST(ChartPainter, TheMapShowsEachKindOfNodeWhereItLies) {
    ensureOffscreenApplication();
    const TDataStore store = smallProblem();
    const CoverageReport report = buildCoverageReport(store, 5, 3, 10);
    Chart chart = nodeMapChart(store, report, computedSource('E'), English);
    // A road between two nodes, drawn under them.
    chart.lines.push_back({ChartColours::Road, 3, {{0, 0}, {60, 0}}});
    const QImage image = paintChart(chart);
    EXPECT_TRUE(shows(image, chartPixel(chart, 30, 0), ChartColours::Road));
    ASSERT_EQ(image.width(), chart.width);
    ASSERT_EQ(image.height(), chart.height);
    EXPECT_GE(image.width(), 800);
    EXPECT_GE(image.height(), 600);
    EXPECT_TRUE(shows(image, chartPixel(chart, 0, 0), ChartColours::Blue));
    EXPECT_TRUE(shows(image, chartPixel(chart, 100, 40), ChartColours::Vermillion));
    EXPECT_TRUE(shows(image, chartPixel(chart, 20, 20), ChartColours::Orange));
    EXPECT_TRUE(shows(image, chartPixel(chart, 60, 0), ChartColours::Orange));
    EXPECT_FALSE(shows(image, chartPixel(chart, 50, 30), ChartColours::Blue));
}

TEST(ChartPainter, TheHistogramSplitsItsBarsAtTheCoverageLine) {
    ensureOffscreenApplication();
    const TDataStore store = smallProblem();
    const CoverageReport report = buildCoverageReport(store, 5, 3, 30);
    const Chart chart = distanceHistogramChart(report, binOffDiagonalDistances(store, report, 40),
                                               computedSource('E'), English);
    const QImage image = paintChart(chart);
    ASSERT_TRUE(chart.rule);
    int blue = 0;
    int grey = 0;
    for (const ChartBar& bar : chart.bars) {
        if (bar.height == 0) {
            continue;
        }
        const PixelPoint middle = chartPixel(chart, (bar.from + bar.to) / 2, bar.height / 4);
        blue += shows(image, middle, ChartColours::Blue);
        grey += shows(image, middle, ChartColours::Grey);
        EXPECT_TRUE(shows(image, middle, bar.colour)) << bar.from;
    }
    EXPECT_GT(blue, 0);
    EXPECT_GT(grey, 0);
    // The dashed line: dark pixels down the plot at the coverage.
    const int x = static_cast<int>(chartPixel(chart, chart.rule->x, 0).x);
    int dark = 0;
    for (int y = chart.plot.top + 40; y < chart.plot.bottom; ++y) {
        dark += image.pixelColor(x, y).lightness() < 60;
    }
    EXPECT_GT(dark, (chart.plot.bottom - chart.plot.top) / 4);
}

TEST(ChartPainter, TextIsDrawnAboveThePlot) {
    ensureOffscreenApplication();
    const TDataStore store = smallProblem();
    const Chart chart =
        nodeMapChart(store, buildCoverageReport(store, 5, 3, 10), computedSource('E'), English);
    const QImage image = paintChart(chart);
    int dark = 0;
    for (int y = 8; y < 40; ++y) {
        for (int x = 0; x < chart.width; ++x) {
            dark += image.pixelColor(x, y).lightness() < 100;
        }
    }
    EXPECT_GT(dark, 500);
}

TEST(ChartPainter, PngBytesDecodeToTheSameImage) {
    ensureOffscreenApplication();
    const TDataStore store = smallProblem();
    const Chart chart =
        nodeMapChart(store, buildCoverageReport(store, 5, 3, 10), computedSource('E'), English);
    const QImage image = paintChart(chart);
    const QByteArray png = pngBytes(image);
    ASSERT_GT(png.size(), 8);
    EXPECT_EQ(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    const QImage decoded = QImage::fromData(png, "PNG");
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), image);
}
