#include "report/pictures/ChartPainter.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <climits>
#include <vector>

namespace {

// Okabe-Ito's blue is too dark to stand out on a dark background; its sky blue takes its
// place there.
constexpr Colour SkyBlue{86, 180, 233};

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QFont font(int pixels, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QFont legendFont(const Chart& chart) {
    return font(layoutLength(chart.textSize, 15));
}

// An entry's symbol, its text and the space after it.
int legendEntryWidth(const Chart& chart, const QFontMetrics& metrics, const LegendEntry& entry) {
    return layoutLength(chart.textSize, 26) + metrics.horizontalAdvance(text(entry.text)) +
           layoutLength(chart.textSize, 30);
}

// The legend's entries, row by row: as many as fit across the chart in each, and in the last
// row the chart has room for, all that are left.
std::vector<std::vector<const LegendEntry*>> legendLayout(const Chart& chart, int rowsAtMost) {
    const QFontMetrics metrics(legendFont(chart));
    const int room = chart.width - 2 * layoutLength(chart.textSize, 10);
    const int space = layoutLength(chart.textSize, 30);
    std::vector<std::vector<const LegendEntry*>> rows(1);
    int width = 0;
    for (const LegendEntry& entry : chart.legend) {
        const int entryWidth = legendEntryWidth(chart, metrics, entry);
        if (!rows.back().empty() && width + entryWidth - space > room &&
            static_cast<int>(rows.size()) < rowsAtMost) {
            rows.emplace_back();
            width = 0;
        }
        rows.back().push_back(&entry);
        width += entryWidth;
    }
    return rows;
}

// Marks keep the picture files' size in a plot as large as theirs or larger, at text of their
// size; in a smaller plot they shrink with it, to no less than 60%, so that they crowd it
// no more than they crowd the picture.
double markScale(const Chart& chart, const QRect& plot) {
    const double text = static_cast<double>(chart.textSize) / PictureTextSize;
    const Chart picture;
    const double across =
        plot.width() / static_cast<double>(picture.plot.right - picture.plot.left + 1);
    const double up =
        plot.height() / static_cast<double>(picture.plot.bottom - picture.plot.top + 1);
    return std::min(text, std::max(0.6, std::min(across, up)));
}

// Paints one chart: its layout's lengths at the chart's text size, in the palette's colours.
class ChartPainting {
public:
    ChartPainting(QPainter& painter, const Chart& chart, const ChartPalette& palette)
        : m_painter(painter),
          m_chart(chart),
          m_palette(palette),
          m_plot(QPoint(chart.plot.left, chart.plot.top),
                 QPoint(chart.plot.right, chart.plot.bottom)),
          m_markScale(markScale(chart, m_plot)) {}

    void paint() {
        m_painter.fillRect(QRect(0, 0, m_chart.width, m_chart.height), m_palette.background);
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.setRenderHint(QPainter::TextAntialiasing);
        drawTitles();
        drawLegend();
        drawAxes();
        drawData();
        if (m_chart.rule) {
            drawRule();
        }
        m_painter.setPen(QPen(m_palette.frame, 1));
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawRect(m_plot);
    }

private:
    int length(int picture) const { return layoutLength(m_chart.textSize, picture); }

    QColor dataColour(const Colour& colour) const {
        if (colour == ChartColours::Black) {
            return m_palette.frame;
        }
        const bool dark = m_palette.background.lightness() < 128;
        const Colour& shown = dark && colour == ChartColours::Blue ? SkyBlue : colour;
        return QColor(shown.red, shown.green, shown.blue);
    }

    // Marks are whole pixels across in the picture files.
    void drawMark(QPointF centre, MarkShape shape, const Colour& colour, int size, double scale) {
        const double across = size * scale;
        const double half = across / 2.0;
        m_painter.setBrush(dataColour(colour));
        m_painter.setPen(QPen(QColor(0, 0, 0, shape == MarkShape::Square ? 255 : 150),
                              shape == MarkShape::Square ? 1.5 : 1.0));
        switch (shape) {
            case MarkShape::Circle:
                m_painter.drawEllipse(centre, half, half);
                break;
            case MarkShape::Square:
                m_painter.drawRect(QRectF(centre.x() - half, centre.y() - half, across, across));
                break;
            case MarkShape::Triangle: {
                const QPolygonF triangle({QPointF(centre.x(), centre.y() - half),
                                          QPointF(centre.x() + half, centre.y() + half * 0.8),
                                          QPointF(centre.x() - half, centre.y() + half * 0.8)});
                m_painter.drawPolygon(triangle);
                break;
            }
        }
    }

    // A line of text centred in `box`; a line too long for it is drawn smaller, down to the
    // chart's text size, and cut short only beyond that.
    void drawLine(const std::string& line, const QRect& box, int pixels, bool bold = false) {
        const QString shown = text(line);
        const int room = box.width() - 2 * length(8);
        QFont lineFont = font(pixels, bold);
        while (QFontMetrics(lineFont).horizontalAdvance(shown) > room &&
               lineFont.pixelSize() > m_chart.textSize) {
            lineFont.setPixelSize(lineFont.pixelSize() - 1);
        }
        const QFontMetrics metrics(lineFont);
        m_painter.setFont(lineFont);
        m_painter.drawText(box, Qt::AlignCenter,
                           metrics.horizontalAdvance(shown) > room
                               ? metrics.elidedText(shown, Qt::ElideRight, room)
                               : shown);
    }

    void drawTitles() {
        m_painter.setPen(m_palette.text);
        drawLine(m_chart.title, QRect(0, length(8), m_chart.width, length(32)), length(21), true);
        m_painter.setPen(m_palette.note);
        drawLine(m_chart.note, QRect(0, length(42), m_chart.width, length(24)), length(15));
    }

    void drawLegend() {
        m_painter.setFont(legendFont(m_chart));
        const QFontMetrics metrics(m_painter.font());
        int middle = length(90);
        for (const auto& row : legendLayout(m_chart, m_chart.legendRows)) {
            int width = 0;
            for (const LegendEntry* entry : row) {
                width += legendEntryWidth(m_chart, metrics, *entry);
            }
            int x = (m_chart.width - width + length(30)) / 2;
            for (const LegendEntry* entry : row) {
                drawLegendEntry(*entry, x, middle, metrics);
                x += legendEntryWidth(m_chart, metrics, *entry);
            }
            middle += length(LegendRowPitch);
        }
    }

    void drawLegendEntry(const LegendEntry& entry, int x, int middle, const QFontMetrics& metrics) {
        const QPointF symbol(x + length(9), middle);
        switch (entry.kind) {
            case LegendEntry::Kind::Mark:
                drawMark(symbol, entry.shape, entry.colour, 12,
                         static_cast<double>(m_chart.textSize) / PictureTextSize);
                break;
            case LegendEntry::Kind::Box:
                m_painter.setPen(Qt::NoPen);
                m_painter.setBrush(dataColour(entry.colour));
                m_painter.drawRect(QRectF(x, middle - length(8), length(18), length(16)));
                break;
            case LegendEntry::Kind::Line:
                m_painter.setPen(QPen(dataColour(entry.colour), 2, Qt::DashLine));
                m_painter.drawLine(QPointF(x + length(9), middle - length(10)),
                                   QPointF(x + length(9), middle + length(10)));
                break;
        }
        m_painter.setPen(m_palette.text);
        const int textWidth = metrics.horizontalAdvance(text(entry.text));
        m_painter.drawText(QRect(x + length(26), middle - length(12), textWidth + 4, length(24)),
                           Qt::AlignLeft | Qt::AlignVCenter, text(entry.text));
    }

    void drawAxes() {
        const int tick = length(6);
        m_painter.setFont(font(m_chart.textSize));
        for (const AxisTick& axisTick : m_chart.x.ticks) {
            const double x = chartPixel(m_chart, axisTick.at, m_chart.y.low).x;
            m_painter.setPen(m_palette.grid);
            m_painter.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
            m_painter.setPen(m_palette.text);
            m_painter.drawLine(QPointF(x, m_plot.bottom()), QPointF(x, m_plot.bottom() + tick));
            m_painter.drawText(
                QRectF(x - length(70), m_plot.bottom() + tick + length(2), length(140), length(20)),
                Qt::AlignHCenter | Qt::AlignTop, text(axisTick.label));
        }
        for (const AxisTick& axisTick : m_chart.y.ticks) {
            const double y = chartPixel(m_chart, m_chart.x.low, axisTick.at).y;
            m_painter.setPen(m_palette.grid);
            m_painter.drawLine(QPointF(m_plot.left(), y), QPointF(m_plot.right(), y));
            m_painter.setPen(m_palette.text);
            m_painter.drawLine(QPointF(m_plot.left() - tick, y), QPointF(m_plot.left(), y));
            m_painter.drawText(
                QRectF(0, y - length(10), m_plot.left() - tick - length(4), length(20)),
                Qt::AlignRight | Qt::AlignVCenter, text(axisTick.label));
        }
        m_painter.setPen(m_palette.text);
        drawLine(m_chart.x.title,
                 QRect(m_plot.left(), m_plot.bottom() + length(34), m_plot.width(), length(26)),
                 length(16));
        m_painter.save();
        m_painter.translate(length(18), (m_plot.top() + m_plot.bottom()) / 2.0);
        m_painter.rotate(-90);
        // Along the plot's side and a little beyond it.
        const int along = m_plot.height() + 2 * length(8) + 2 * length(30);
        drawLine(m_chart.y.title, QRect(-along / 2, -length(10), along, length(26)), length(16));
        m_painter.restore();
    }

    void drawData() {
        m_painter.save();
        m_painter.setClipRect(m_plot);
        m_painter.setBrush(Qt::NoBrush);
        QPolygonF points;
        for (const ChartLine& line : m_chart.lines) {
            m_painter.setPen(QPen(dataColour(line.colour), line.width));
            points.clear();
            for (const ChartPoint& point : line.points) {
                const PixelPoint at = chartPixel(m_chart, point.x, point.y);
                points.append(QPointF(at.x, at.y));
            }
            m_painter.drawPolyline(points);
        }
        m_painter.setPen(Qt::NoPen);
        for (const ChartBar& bar : m_chart.bars) {
            const PixelPoint corner = chartPixel(m_chart, bar.from, bar.height);
            const PixelPoint base = chartPixel(m_chart, bar.to, 0);
            m_painter.setBrush(dataColour(bar.colour));
            m_painter.drawRect(QRectF(QPointF(corner.x, corner.y), QPointF(base.x, base.y)));
        }
        for (const ChartMark& mark : m_chart.marks) {
            const PixelPoint at = chartPixel(m_chart, mark.x, mark.y);
            drawMark(QPointF(at.x, at.y), mark.shape, mark.colour, static_cast<int>(mark.size),
                     m_markScale);
        }
        m_painter.restore();
    }

    void drawRule() {
        const double x = chartPixel(m_chart, m_chart.rule->x, 0).x;
        m_painter.setPen(QPen(m_palette.frame, 2, Qt::DashLine));
        m_painter.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
        m_painter.setFont(font(length(15), true));
        const QFontMetrics metrics(m_painter.font());
        const QString label = text(m_chart.rule->label);
        const int width = metrics.horizontalAdvance(label) + length(16);
        // The label sits on the side of the line with room for it.
        const int gap = length(8);
        const bool right = x + gap + width <= m_plot.right();
        const QRectF box(right ? x + gap : x - gap - width, m_plot.top() + length(10), width,
                         length(26));
        m_painter.setPen(m_palette.frame);
        m_painter.setBrush(m_palette.background);
        m_painter.drawRect(box);
        m_painter.drawText(box, Qt::AlignCenter, label);
    }

    QPainter& m_painter;
    const Chart& m_chart;
    const ChartPalette& m_palette;
    const QRect m_plot;
    const double m_markScale;
};

}  // namespace

void paintChart(QPainter& painter, const Chart& chart, const ChartPalette& palette) {
    painter.save();
    ChartPainting(painter, chart, palette).paint();
    painter.restore();
}

QImage paintChart(const Chart& chart) {
    QImage image(chart.width, chart.height, QImage::Format_RGB32);
    QPainter painter(&image);
    paintChart(painter, chart);
    return image;
}

int legendRowsNeeded(const Chart& chart) {
    return static_cast<int>(legendLayout(chart, INT_MAX).size());
}

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return {};
    }
    return bytes;
}
