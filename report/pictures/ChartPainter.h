#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>

#include "report/Chart.h"

class QPainter;

// The colours a chart's frame and texts are painted in; the data keep their own colours,
// made readable on a dark background. The picture files are painted light.
struct ChartPalette {
    QColor background = Qt::white;
    QColor text{20, 20, 20};
    QColor note{70, 70, 70};
    QColor grid{228, 228, 228};
    // The plot's frame and the coverage line with its label.
    QColor frame = Qt::black;
};

// Paints a chart description as it stands: every position, text and colour comes from it.
QImage paintChart(const Chart& chart);
// The same on any painter, in the chart's own pixels from (0, 0) to (width, height).
void paintChart(QPainter& painter, const Chart& chart, const ChartPalette& palette = {});

// The rows the chart's legend needs to fit across it.
int legendRowsNeeded(const Chart& chart);

// The image as a PNG file's bytes; empty when encoding failed.
QByteArray pngBytes(const QImage& image);
