#pragma once

// The report's histogram of the off-diagonal distances against the coverage distance, as a
// chart description, titled with the matrix's measure and unit.

#include <cstdint>
#include <vector>

#include "platform/NumberText.h"
#include "report/Chart.h"
#include "report/CoverageReport.h"

// The bars a histogram aims at, in the picture file and in the window alike.
inline constexpr int HistogramBins = 40;

// Bin b holds the distances first + b * width .. first + (b + 1) * width - 1. The width is
// a round number and coverage + 1 always starts a bin, so no bin straddles the coverage.
struct DistanceBins {
    int64_t first = 0;
    int64_t width = 1;
    std::vector<int64_t> cells;
};

// The bins for the report's off-diagonal distances, all still empty; none without such
// distances.
DistanceBins emptyDistanceBins(const CoverageReport& report, int targetBins);

DistanceBins binOffDiagonalDistances(const TDataStore& store, const CoverageReport& report,
                                     int targetBins);

// Laid out in `frame`: the picture files' by default, a window's own size and text size in
// the preview.
Chart distanceHistogramChart(const CoverageReport& report, const DistanceBins& bins,
                             const MatrixSource& source, const NumberSeparators& separators,
                             const ChartFrame& frame = {});
