#pragma once

#include <QByteArray>
#include <QImage>

#include "report/Chart.h"

class QPainter;

// Paints a chart description as it stands: every position, text and colour comes from it.
QImage paintChart(const Chart& chart);
// The same on any painter, in the chart's own pixels from (0, 0) to (width, height): a
// window scales the painter to its size and to the screen.
void paintChart(QPainter& painter, const Chart& chart);

// The image as a PNG file's bytes; empty when encoding failed.
QByteArray pngBytes(const QImage& image);
