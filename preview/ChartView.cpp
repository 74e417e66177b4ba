#include "preview/ChartView.h"

#include <QPainter>
#include <algorithm>

#include "report/pictures/ChartPainter.h"

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ChartView::setChart(Chart chart) {
    m_chart = std::move(chart);
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
    return QSize(m_chart.width * 2 / 3, m_chart.height * 2 / 3);
}

QSize ChartView::minimumSizeHint() const {
    return QSize(m_chart.width * 3 / 10, m_chart.height * 3 / 10);
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF area = chartArea();
    painter.translate(area.topLeft());
    painter.scale(area.width() / m_chart.width, area.height() / m_chart.height);
    paintChart(painter, m_chart);
    painter.end();
    emit painted();
}
