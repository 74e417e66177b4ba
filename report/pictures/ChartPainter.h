#pragma once

#include <QByteArray>
#include <QImage>

#include "report/Chart.h"

// Paints a chart description as it stands: every position, text and colour comes from it.
QImage paintChart(const Chart& chart);

// The image as a PNG file's bytes; empty when encoding failed.
QByteArray pngBytes(const QImage& image);
