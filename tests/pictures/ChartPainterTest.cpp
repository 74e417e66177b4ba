#include "report/pictures/ChartPainter.h"

#include <gtest/gtest.h>

#include <QColor>
#include <clocale>
#include <string>

#include "report/CoverageCharts.h"
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
    EnsureOffscreenApplication();
    EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
    EnsureOffscreenApplication();
}

TEST(ChartPainter, TheMapShowsEachKindOfNodeWhereItLies) {
    EnsureOffscreenApplication();
    const TDataStore store = smallProblem();
    const CoverageReport report = BuildCoverageReport(store, 5, 3, 10);
    const Chart chart = NodeMapChart(store, report, 'E', English);
    const QImage image = PaintChart(chart);
    ASSERT_EQ(image.width(), chart.width);
    ASSERT_EQ(image.height(), chart.height);
    EXPECT_GE(image.width(), 800);
    EXPECT_GE(image.height(), 600);
    EXPECT_TRUE(shows(image, ChartPixel(chart, 0, 0), ChartColours::Blue));
    EXPECT_TRUE(shows(image, ChartPixel(chart, 100, 40), ChartColours::Vermillion));
    EXPECT_TRUE(shows(image, ChartPixel(chart, 20, 20), ChartColours::Orange));
    EXPECT_TRUE(shows(image, ChartPixel(chart, 60, 0), ChartColours::Orange));
    EXPECT_FALSE(shows(image, ChartPixel(chart, 50, 30), ChartColours::Blue));
}

TEST(ChartPainter, TheHistogramSplitsItsBarsAtTheCoverageLine) {
    EnsureOffscreenApplication();
    const TDataStore store = smallProblem();
    const CoverageReport report = BuildCoverageReport(store, 5, 3, 30);
    const Chart chart =
        DistanceHistogramChart(report, BinOffDiagonalDistances(store, report, 40), 'E', English);
    const QImage image = PaintChart(chart);
    ASSERT_TRUE(chart.rule);
    int blue = 0;
    int grey = 0;
    for (const ChartBar& bar : chart.bars) {
        if (bar.height == 0) {
            continue;
        }
        const PixelPoint middle = ChartPixel(chart, (bar.from + bar.to) / 2, bar.height / 4);
        blue += shows(image, middle, ChartColours::Blue);
        grey += shows(image, middle, ChartColours::Grey);
        EXPECT_TRUE(shows(image, middle, bar.colour)) << bar.from;
    }
    EXPECT_GT(blue, 0);
    EXPECT_GT(grey, 0);
    // The dashed line: dark pixels down the plot at the coverage.
    const int x = static_cast<int>(ChartPixel(chart, chart.rule->x, 0).x);
    int dark = 0;
    for (int y = chart.plot.top + 40; y < chart.plot.bottom; ++y) {
        dark += image.pixelColor(x, y).lightness() < 60;
    }
    EXPECT_GT(dark, (chart.plot.bottom - chart.plot.top) / 4);
}

TEST(ChartPainter, TextIsDrawnAboveThePlot) {
    EnsureOffscreenApplication();
    const TDataStore store = smallProblem();
    const Chart chart = NodeMapChart(store, BuildCoverageReport(store, 5, 3, 10), 'E', English);
    const QImage image = PaintChart(chart);
    int dark = 0;
    for (int y = 8; y < 40; ++y) {
        for (int x = 0; x < chart.width; ++x) {
            dark += image.pixelColor(x, y).lightness() < 100;
        }
    }
    EXPECT_GT(dark, 500);
}

TEST(ChartPainter, PngBytesDecodeToTheSameImage) {
    EnsureOffscreenApplication();
    const TDataStore store = smallProblem();
    const Chart chart = NodeMapChart(store, BuildCoverageReport(store, 5, 3, 10), 'E', English);
    const QImage image = PaintChart(chart);
    const QByteArray png = PngBytes(image);
    ASSERT_GT(png.size(), 8);
    EXPECT_EQ(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    const QImage decoded = QImage::fromData(png, "PNG");
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), image);
}
