#pragma once

// The road matrix of a problem: each node goes to the nearest node on a road of the mode,
// and the cell from node i to node j is the least cost (the shortest road's length or the
// quickest road's time) between their two road nodes in the unit asked for, rounded to a
// whole number with halves to even. The legs from the nodes to the roads are not counted.
// The matrix goes into the data store as any computed matrix does.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/TaskProgress.h"
#include "roads/RoadSettings.h"

struct TDataStore;

struct RoadPlace {
    double longitude;
    double latitude;
};

struct RoadSummary {
    int nodes = 0;
    std::size_t roadNodes = 0;
    std::size_t segments = 0;
    int longestSnapNode = 0;
    double longestSnapMetres = 0;
    long long unreachableCells = 0;
    // Cells off the diagonal whose cost is above 0 but rounds to 0 in the unit.
    long long zeroCells = 0;
};

struct RoadMatrix {
    int n = 0;
    // Row by row: cells[(i - 1) * n + (j - 1)] is the distance from node i to node j.
    std::vector<int32_t> cells;
    RoadSummary summary;
};

// The places of nodes 1..n: X is the longitude and Y the latitude.
std::vector<RoadPlace> nodePlaces(const TDataStore& store, int n);

// Throws RoadError for bad input (a node off the globe or too far from a road, a file that is
// not an extract, no roads, pairs no road joins, a cell beyond 32 bits, a unit in which every
// cost between different road nodes rounds to 0), InOutError when the file cannot be read,
// and TaskCancelled.
RoadMatrix computeRoadMatrix(const std::string& roadMap, const std::vector<RoadPlace>& places,
                             const RoadSettings& settings, TaskProgress& progress);

// Creates rows 1..n of the store and fills them from the matrix.
void storeRoadMatrix(TDataStore& store, const RoadMatrix& matrix);

// One line for the user: the nodes, what the cells measure and in which unit, the road nodes
// and segments used, the longest snap, the unreachable cells and those rounded to 0.
std::string roadSummaryText(const RoadSummary& summary, const RoadSettings& settings);

// The warning the window gives before its save question when cells rounded to 0.
std::string zeroCellsWarning(const RoadSummary& summary, const RoadSettings& settings);
