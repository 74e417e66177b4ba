#pragma once

// A picture described without any toolkit: the core decides every position, text and
// colour, and a painter only draws it. Data values map linearly onto the plot area.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    bool operator==(const Colour&) const = default;
};

// From the Okabe-Ito palette, which stays distinct under the common colour-vision
// deficiencies; shapes tell the marks apart as well.
namespace ChartColours {
inline constexpr Colour Black{0, 0, 0};
inline constexpr Colour Blue{0, 114, 178};
inline constexpr Colour Orange{230, 159, 0};
inline constexpr Colour Vermillion{213, 94, 0};
inline constexpr Colour Grey{187, 187, 187};
// Light enough to stay behind every mark, dark enough to stand out from the grid.
inline constexpr Colour Road{196, 196, 196};
}  // namespace ChartColours

enum class MarkShape { Circle, Triangle, Square };

struct AxisTick {
    double at = 0;
    std::string label;
};

struct ChartAxis {
    std::string title;
    double low = 0;
    double high = 1;
    std::vector<AxisTick> ticks;
};

// A bar from x = from to x = to, rising from y = 0.
struct ChartBar {
    double from = 0;
    double to = 0;
    double height = 0;
    Colour colour;
};

struct ChartMark {
    double x = 0;
    double y = 0;
    MarkShape shape = MarkShape::Circle;
    Colour colour;
    double size = 8;  // pixels across
};

struct ChartPoint {
    double x = 0;
    double y = 0;
};

// A thin line through points given in data values, within the axes' ranges.
struct ChartLine {
    Colour colour;
    double width = 1;  // pixels
    std::vector<ChartPoint> points;
};

// A vertical line across the plot at x, labelled at its top.
struct ChartRule {
    double x = 0;
    std::string label;
};

struct LegendEntry {
    enum class Kind { Mark, Box, Line };
    Kind kind = Kind::Mark;
    MarkShape shape = MarkShape::Circle;
    Colour colour;
    std::string text;
};

// Pixels of the picture that the data fill.
struct PlotArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The picture files' text size. Every length of a chart's layout (margins, the other texts,
// marks) is given at this size and grows or shrinks with a chart's own text size.
inline constexpr int PictureTextSize = 14;
// From one row of the legend to the next.
inline constexpr int LegendRowPitch = 26;

// A length of the picture files' layout in a chart whose smallest text is `textSize` pixels.
inline int layoutLength(int textSize, int length) {
    return static_cast<int>(
        std::lround(length * (static_cast<double>(textSize) / PictureTextSize)));
}

// Where a chart is to be painted, in its own pixels: its size, the size of its smallest text
// (the tick labels) and the rows its legend takes. The default is the picture files'.
struct ChartFrame {
    int width = 1000;
    int height = 720;
    int textSize = PictureTextSize;
    int legendRows = 1;

    bool operator==(const ChartFrame&) const = default;
};

struct Chart {
    int width = 1000;
    int height = 720;
    int textSize = PictureTextSize;
    int legendRows = 1;
    PlotArea plot{110, 118, 970, 630};
    std::string title;
    std::string note;  // a line under the title
    ChartAxis x;
    ChartAxis y;
    std::vector<ChartLine> lines;  // drawn first, under the bars and marks
    std::vector<ChartBar> bars;
    std::vector<ChartMark> marks;  // drawn in order, the last on top
    std::optional<ChartRule> rule;
    std::vector<LegendEntry> legend;
};

struct PixelPoint {
    double x = 0;
    double y = 0;
};

// Where the value (x, y) lies in the picture. Far-off values are held a little outside the
// picture, so no painter meets an unbounded coordinate.
inline PixelPoint chartPixel(const Chart& chart, double x, double y) {
    const auto place = [](double value, const ChartAxis& axis, int from, int to, int size) {
        const long double span = static_cast<long double>(axis.high) - axis.low;
        const long double share =
            span > 0 ? (value - static_cast<long double>(axis.low)) / span : 0.5L;
        const long double pixel = from + share * (to - from);
        return static_cast<double>(std::clamp<long double>(pixel, -size, 2.0L * size));
    };
    return {place(x, chart.x, chart.plot.left, chart.plot.right, chart.width),
            place(y, chart.y, chart.plot.bottom, chart.plot.top, chart.height)};
}

// An empty chart in the frame, its plot area leaving room for the texts around it; a frame
// too small for that at its text size gives the smallest chart that has the room.
inline Chart chartIn(const ChartFrame& frame) {
    Chart chart;
    chart.width = std::max(frame.width, layoutLength(frame.textSize, 420));
    chart.height = std::max(frame.height, layoutLength(frame.textSize, 330));
    chart.textSize = frame.textSize;
    chart.legendRows = std::max(1, frame.legendRows);
    const auto length = [&](int picture) { return layoutLength(frame.textSize, picture); };
    chart.plot = {length(110), length(118) + (chart.legendRows - 1) * length(LegendRowPitch),
                  chart.width - length(30), chart.height - length(90)};
    return chart;
}

// The ticks an axis `pixels` long is given: `most`, or fewer where their labels would crowd,
// each label taking `spacing` pixels of the picture files' layout.
inline int tickCount(const Chart& chart, int pixels, int spacing, int most) {
    return std::clamp(pixels / layoutLength(chart.textSize, spacing), 2, most);
}

// Up to `most` ticks along each axis, fewer where the plot is too small for their labels.
inline int acrossTicks(const Chart& chart, int most) {
    return tickCount(chart, chart.plot.right - chart.plot.left, 98, most);
}

inline int upTicks(const Chart& chart, int most) {
    return tickCount(chart, chart.plot.bottom - chart.plot.top, 56, most);
}
