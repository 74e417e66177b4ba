#pragma once

// The report's map of the nodes as a chart description, the isolated demand nodes picked out
// and, for a road matrix whose roads were kept, the roads drawn under the nodes.

#include "platform/NumberText.h"
#include "report/Chart.h"
#include "report/CoverageReport.h"

// Nodes at their coordinates. Where they are longitudes and latitudes (great circle, roads),
// a degree east-west is drawn as long as it is at the nodes' middle latitude, and the
// latitude axis stays within -90..90; otherwise one unit is as long across as up. Once the
// report's demand is counted, each demand point's area grows with its demand. Laid out in
// `frame`, as the histogram is.
Chart nodeMapChart(const TDataStore& store, const CoverageReport& report,
                   const MatrixSource& source, const NumberSeparators& separators,
                   const ChartFrame& frame = {});
