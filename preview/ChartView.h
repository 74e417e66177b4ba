#pragma once

#include <QWidget>

#include "report/Chart.h"

// A chart painted by the painter of the picture files, scaled to fit the widget with its
// proportions kept, so it follows the window's size and the screen's scale. Its accessible
// description is the chart's title and note.
class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    void setChart(Chart chart);
    const Chart& chart() const { return m_chart; }
    // Where the chart lies within the widget.
    QRectF chartArea() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void painted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Chart m_chart;
};
