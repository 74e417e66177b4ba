#pragma once

// Long lines given in data values, such as roads, as a chart's lines: cut at the edges of
// the plot, so that a painter never meets a point far outside it, and thinned to what the
// picture can show.

#include "report/Chart.h"
#include "store/MatrixSource.h"

// Adds the parts of each road line (longitude as x, latitude as y) that lie within the
// chart's axes, which must be set, each part its own line. A point closer than half a pixel
// to the last one kept is left out, except a part's last.
void addRoadLines(Chart& chart, const RoadLines& roads, Colour colour, double width);
