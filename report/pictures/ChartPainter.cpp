#include "report/pictures/ChartPainter.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

constexpr int TickLength = 6;
const QColor GridColour(228, 228, 228);
const QColor TextColour(20, 20, 20);
const QColor NoteColour(70, 70, 70);

QColor qColour(const Colour& colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QFont font(int pixels, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void drawMark(QPainter& painter, QPointF centre, MarkShape shape, const Colour& colour, int size) {
    const double half = size / 2.0;
    painter.setBrush(qColour(colour));
    painter.setPen(QPen(QColor(0, 0, 0, shape == MarkShape::Square ? 255 : 150),
                        shape == MarkShape::Square ? 1.5 : 1.0));
    switch (shape) {
        case MarkShape::Circle:
            painter.drawEllipse(centre, half, half);
            break;
        case MarkShape::Square:
            painter.drawRect(QRectF(centre.x() - half, centre.y() - half, size, size));
            break;
        case MarkShape::Triangle: {
            const QPolygonF triangle({QPointF(centre.x(), centre.y() - half),
                                      QPointF(centre.x() + half, centre.y() + half * 0.8),
                                      QPointF(centre.x() - half, centre.y() + half * 0.8)});
            painter.drawPolygon(triangle);
            break;
        }
    }
}

void drawTitles(QPainter& painter, const Chart& chart) {
    painter.setPen(TextColour);
    painter.setFont(font(21, true));
    painter.drawText(QRect(0, 8, chart.width, 32), Qt::AlignCenter, text(chart.title));
    painter.setPen(NoteColour);
    painter.setFont(font(15));
    painter.drawText(QRect(0, 42, chart.width, 24), Qt::AlignCenter, text(chart.note));
}

void drawLegend(QPainter& painter, const Chart& chart) {
    painter.setFont(font(15));
    const QFontMetrics metrics(painter.font());
    int width = 0;
    for (const LegendEntry& entry : chart.legend) {
        width += 26 + metrics.horizontalAdvance(text(entry.text)) + 30;
    }
    int x = (chart.width - width + 30) / 2;
    const int middle = chart.plot.top - 28;
    for (const LegendEntry& entry : chart.legend) {
        const QPointF symbol(x + 9, middle);
        switch (entry.kind) {
            case LegendEntry::Kind::Mark:
                drawMark(painter, symbol, entry.shape, entry.colour, 12);
                break;
            case LegendEntry::Kind::Box:
                painter.setPen(Qt::NoPen);
                painter.setBrush(qColour(entry.colour));
                painter.drawRect(QRectF(x, middle - 8, 18, 16));
                break;
            case LegendEntry::Kind::Line:
                painter.setPen(QPen(qColour(entry.colour), 2, Qt::DashLine));
                painter.drawLine(QPointF(x + 9, middle - 10), QPointF(x + 9, middle + 10));
                break;
        }
        painter.setPen(TextColour);
        const int textWidth = metrics.horizontalAdvance(text(entry.text));
        painter.drawText(QRect(x + 26, middle - 12, textWidth + 4, 24),
                         Qt::AlignLeft | Qt::AlignVCenter, text(entry.text));
        x += 26 + textWidth + 30;
    }
}

void drawAxes(QPainter& painter, const Chart& chart, const QRect& plot) {
    painter.setFont(font(14));
    for (const AxisTick& tick : chart.x.ticks) {
        const double x = chartPixel(chart, tick.at, chart.y.low).x;
        painter.setPen(GridColour);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(TextColour);
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + TickLength));
        painter.drawText(QRectF(x - 70, plot.bottom() + TickLength + 2, 140, 20),
                         Qt::AlignHCenter | Qt::AlignTop, text(tick.label));
    }
    for (const AxisTick& tick : chart.y.ticks) {
        const double y = chartPixel(chart, chart.x.low, tick.at).y;
        painter.setPen(GridColour);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(TextColour);
        painter.drawLine(QPointF(plot.left() - TickLength, y), QPointF(plot.left(), y));
        painter.drawText(QRectF(0, y - 10, plot.left() - TickLength - 4, 20),
                         Qt::AlignRight | Qt::AlignVCenter, text(tick.label));
    }
    painter.setFont(font(16));
    painter.setPen(TextColour);
    painter.drawText(QRect(plot.left(), plot.bottom() + 34, plot.width(), 26), Qt::AlignCenter,
                     text(chart.x.title));
    painter.save();
    painter.translate(18, (plot.top() + plot.bottom()) / 2.0);
    painter.rotate(-90);
    painter.drawText(QRect(-plot.height() / 2, -10, plot.height(), 26), Qt::AlignCenter,
                     text(chart.y.title));
    painter.restore();
}

void drawData(QPainter& painter, const Chart& chart, const QRect& plot) {
    painter.save();
    painter.setClipRect(plot);
    painter.setBrush(Qt::NoBrush);
    QPolygonF points;
    for (const ChartLine& line : chart.lines) {
        painter.setPen(QPen(qColour(line.colour), line.width));
        points.clear();
        for (const ChartPoint& point : line.points) {
            const PixelPoint at = chartPixel(chart, point.x, point.y);
            points.append(QPointF(at.x, at.y));
        }
        painter.drawPolyline(points);
    }
    painter.setPen(Qt::NoPen);
    for (const ChartBar& bar : chart.bars) {
        const PixelPoint corner = chartPixel(chart, bar.from, bar.height);
        const PixelPoint base = chartPixel(chart, bar.to, 0);
        painter.setBrush(qColour(bar.colour));
        painter.drawRect(QRectF(QPointF(corner.x, corner.y), QPointF(base.x, base.y)));
    }
    for (const ChartMark& mark : chart.marks) {
        const PixelPoint at = chartPixel(chart, mark.x, mark.y);
        drawMark(painter, QPointF(at.x, at.y), mark.shape, mark.colour, mark.size);
    }
    painter.restore();
}

void drawRule(QPainter& painter, const Chart& chart, const QRect& plot) {
    const double x = chartPixel(chart, chart.rule->x, 0).x;
    painter.setPen(QPen(Qt::black, 2, Qt::DashLine));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    painter.setFont(font(15, true));
    const QFontMetrics metrics(painter.font());
    const QString label = text(chart.rule->label);
    const int width = metrics.horizontalAdvance(label) + 16;
    // The label sits on the side of the line with room for it.
    const bool right = x + 8 + width <= plot.right();
    const QRectF box(right ? x + 8 : x - 8 - width, plot.top() + 10, width, 26);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    painter.drawText(box, Qt::AlignCenter, label);
}

}  // namespace

void paintChart(QPainter& painter, const Chart& chart) {
    painter.save();
    painter.fillRect(QRect(0, 0, chart.width, chart.height), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRect plot(QPoint(chart.plot.left, chart.plot.top),
                     QPoint(chart.plot.right, chart.plot.bottom));
    drawTitles(painter, chart);
    drawLegend(painter, chart);
    drawAxes(painter, chart, plot);
    drawData(painter, chart, plot);
    if (chart.rule) {
        drawRule(painter, chart, plot);
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    painter.restore();
}

QImage paintChart(const Chart& chart) {
    QImage image(chart.width, chart.height, QImage::Format_RGB32);
    QPainter painter(&image);
    paintChart(painter, chart);
    return image;
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
