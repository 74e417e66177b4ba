#pragma once

#include <QWidget>
#include <functional>

#include "report/Chart.h"

// A chart painted by the painter of the picture files at the widget's own size, in
// device-independent pixels, its smallest text the size of the window's font, in the colours
// of the window's palette. A chart of other proportions than the widget (one that cannot be
// laid out smaller than its smallest useful size) is scaled by the smaller of the two scales
// and centred, never cut off. Its accessible description is the chart's title and note.
class ChartView : public QWidget {
    Q_OBJECT
public:
    // Lays the chart out in a frame; asked again whenever the widget's size or font changes.
    using Builder = std::function<Chart(const ChartFrame&)>;

    explicit ChartView(QWidget* parent = nullptr);

    void setChart(Builder build);
    // The chart as shown now.
    const Chart& chart() const { return m_chart; }
    // The chart laid out in another frame, such as the picture files'.
    Chart chartIn(const ChartFrame& frame) const;
    // Where the chart lies within the widget.
    QRectF chartArea() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void painted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int textSize() const;
    void layOut();

    Builder m_build;
    Chart m_chart;
};
