#pragma once

// The report's two pictures as chart descriptions: a histogram of the off-diagonal distances
// against the coverage distance, and a map of the nodes with the isolated demand nodes
// picked out.

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

Chart distanceHistogramChart(const CoverageReport& report, const DistanceBins& bins,
                             char metricCode, const NumberSeparators& separators);

// Nodes at their coordinates (longitude and latitude for the great circle), one unit as long
// on both axes. Once the report's demand is counted, each demand point's area grows with its
// demand.
Chart nodeMapChart(const TDataStore& store, const CoverageReport& report, char metricCode,
                   const NumberSeparators& separators);
