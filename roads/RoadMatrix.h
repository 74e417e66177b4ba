#pragma once

// The road matrix of a problem: each node goes to the nearest node on a road of the mode,
// and the cell from node i to node j is the least cost (the shortest road's length or the
// quickest road's time) between their two road nodes in the unit asked for, rounded to a
// whole number with halves to even. The legs from the nodes to the roads are not counted.
// The matrix goes into the data store as any computed matrix does.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/TaskProgress.h"
#include "roads/RoadSettings.h"
#include "store/MatrixSource.h"

struct TDataStore;

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
    // The roads of the mode as lines, when they were asked for.
    std::shared_ptr<const RoadLines> roads;
};

// Whether computeRoadMatrix keeps the roads as lines, for a map.
enum class RoadLinesWanted { No, Yes };

// The places of nodes 1..n: X is the longitude and Y the latitude.
std::vector<RoadPlace> nodePlaces(const TDataStore& store, int n);

// Throws RoadError for bad input (a node off the globe or too far from a road, a file that is
// not an extract, no roads, pairs no road joins, a cell beyond 32 bits, a unit in which every
// cost between different road nodes rounds to 0), InOutError when the file cannot be read,
// and TaskCancelled.
RoadMatrix computeRoadMatrix(const std::string& roadMap, const std::vector<RoadPlace>& places,
                             const RoadSettings& settings, TaskProgress& progress,
                             RoadLinesWanted lines = RoadLinesWanted::No);

// Where a matrix computed from `roadMap` with these settings comes from.
MatrixSource roadMatrixSource(const std::string& roadMap, const RoadSettings& settings);

// Creates rows 1..n of the store, fills them from the matrix and records where it came from,
// with the roads when they were kept.
void storeRoadMatrix(TDataStore& store, const RoadMatrix& matrix, const std::string& roadMap,
                     const RoadSettings& settings);

// One line for the user: the nodes, what the cells measure and in which unit, the road nodes
// and segments used, the longest snap, the unreachable cells and those rounded to 0.
std::string roadSummaryText(const RoadSummary& summary, const RoadSettings& settings);

// The warning the window gives before its save question when cells rounded to 0.
std::string zeroCellsWarning(const RoadSummary& summary, const RoadSettings& settings);
