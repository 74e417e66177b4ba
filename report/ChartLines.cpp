#include "report/ChartLines.h"

#include <cmath>
#include <optional>
#include <utility>

namespace {

constexpr double Spacing = 0.5;  // pixels

// How far along the segment from a to b it enters and leaves the axes' box (0 and 1 for a
// segment wholly inside); none when it misses the box.
std::optional<std::pair<double, double>> withinAxes(const Chart& chart, ChartPoint a,
                                                    ChartPoint b) {
    double enter = 0;
    double leave = 1;
    // The part where p * t <= q.
    const auto keep = [&](double p, double q) {
        if (p == 0) {
            return q >= 0;
        }
        const double t = q / p;
        if (p < 0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
        return enter <= leave;
    };
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    if (keep(-dx, a.x - chart.x.low) && keep(dx, chart.x.high - a.x) &&
        keep(-dy, a.y - chart.y.low) && keep(dy, chart.y.high - a.y)) {
        return std::pair(enter, leave);
    }
    return std::nullopt;
}

ChartPoint along(ChartPoint a, ChartPoint b, double t) {
    return t == 0 ? a : t == 1 ? b : ChartPoint{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
}

class LineParts {
public:
    LineParts(Chart& chart, Colour colour, double width)
        : m_chart(chart), m_colour(colour), m_width(width) {}

    bool open() const { return !m_points.empty(); }

    void start(ChartPoint point) {
        m_points.push_back(point);
        m_lastPixel = chartPixel(m_chart, point.x, point.y);
    }

    void extend(ChartPoint point) {
        const PixelPoint pixel = chartPixel(m_chart, point.x, point.y);
        if (std::hypot(pixel.x - m_lastPixel.x, pixel.y - m_lastPixel.y) < Spacing) {
            m_skipped = point;
            return;
        }
        m_points.push_back(point);
        m_lastPixel = pixel;
        m_skipped.reset();
    }

    void finish() {
        if (m_skipped) {
            m_points.push_back(*m_skipped);
            m_skipped.reset();
        }
        if (m_points.size() >= 2) {
            m_chart.lines.push_back({m_colour, m_width, std::move(m_points)});
        }
        m_points.clear();
    }

private:
    Chart& m_chart;
    Colour m_colour;
    double m_width;
    std::vector<ChartPoint> m_points;
    PixelPoint m_lastPixel;
    std::optional<ChartPoint> m_skipped;
};

}  // namespace

void addRoadLines(Chart& chart, const RoadLines& roads, Colour colour, double width) {
    LineParts part(chart, colour, width);
    for (std::size_t k = 0; k < roads.count(); ++k) {
        for (std::size_t p = roads.starts[k] + 1; p < roads.starts[k + 1]; ++p) {
            const ChartPoint a{roads.places[p - 1].longitude, roads.places[p - 1].latitude};
            const ChartPoint b{roads.places[p].longitude, roads.places[p].latitude};
            const auto inside = withinAxes(chart, a, b);
            if (!inside) {
                part.finish();
                continue;
            }
            if (!part.open() || inside->first > 0) {
                part.finish();
                part.start(along(a, b, inside->first));
            }
            part.extend(along(a, b, inside->second));
            if (inside->second < 1) {
                part.finish();
            }
        }
        part.finish();
    }
}
