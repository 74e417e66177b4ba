#pragma once

#include <string>

#include "report/Chart.h"

// Turns a chart into the bytes of a PNG file. The toolkit that paints lives behind this, so
// whatever hands it a chart stays free of it.
class ChartRenderer {
public:
    virtual ~ChartRenderer() = default;
    // Throws RunTimeError when the chart cannot be painted.
    virtual std::string png(const Chart& chart) = 0;
};
