#include "preview/ChartView.h"

#include <QEvent>
#include <QFontInfo>
#include <QPainter>
#include <algorithm>

#include "report/pictures/ChartPainter.h"

namespace {

QColor mixed(const QColor& ink, const QColor& paper, double inkShare) {
    const auto channel = [&](int a, int b) {
        return static_cast<int>(a * inkShare + b * (1 - inkShare));
    };
    return QColor(channel(ink.red(), paper.red()), channel(ink.green(), paper.green()),
                  channel(ink.blue(), paper.blue()));
}

ChartPalette chartPalette(const QPalette& palette) {
    const QColor paper = palette.color(QPalette::Base);
    const QColor ink = palette.color(QPalette::Text);
    return {paper, ink, mixed(ink, paper, 0.75), mixed(ink, paper, 0.12), ink};
}

}  // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ChartView::setChart(Builder build) {
    m_build = std::move(build);
    layOut();
}

Chart ChartView::chartIn(const ChartFrame& frame) const {
    return m_build ? m_build(frame) : Chart{};
}

int ChartView::textSize() const {
    return QFontInfo(font()).pixelSize();
}

void ChartView::layOut() {
    ChartFrame frame{width(), height(), textSize(), 1};
    m_chart = chartIn(frame);
    frame.legendRows = legendRowsNeeded(m_chart);
    if (frame.legendRows > 1) {
        m_chart = chartIn(frame);
    }
    setAccessibleDescription(QString::fromStdString(
        m_chart.note.empty() ? m_chart.title : m_chart.title + ". " + m_chart.note));
    update();
}

QRectF ChartView::chartArea() const {
    const double scale = std::min(width() / static_cast<double>(m_chart.width),
                                  height() / static_cast<double>(m_chart.height));
    const QSizeF size(m_chart.width * scale, m_chart.height * scale);
    return QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

QSize ChartView::sizeHint() const {
    return QSize(layoutLength(textSize(), 640), layoutLength(textSize(), 460));
}

QSize ChartView::minimumSizeHint() const {
    const Chart smallest = ::chartIn(ChartFrame{0, 0, textSize(), 1});
    return QSize(smallest.width, smallest.height);
}

void ChartView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void ChartView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        layOut();
    }
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF area = chartArea();
    painter.translate(area.topLeft());
    painter.scale(area.width() / m_chart.width, area.height() / m_chart.height);
    paintChart(painter, m_chart, chartPalette(palette()));
    painter.end();
    emit painted();
}
