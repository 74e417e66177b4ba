#pragma once

// What a planner checks before the model runs: how the off-diagonal distances spread, how
// much of the matrix lies within the coverage distance, which demand nodes nothing can cover,
// and the signs of a matrix that came from elsewhere (asymmetry, negatives, duplicate
// locations, a diagonal that is not zero). Works on rows and columns 1..n of the store.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "store/DataStore.h"
#include "store/DistanceMetrics.h"

// The k-th smallest of the m off-diagonal values for k = ceil(m/4), ceil(m/2), ceil(3m/4).
struct DistanceSpread {
    int32_t minimum = 0;
    int32_t lowerQuartile = 0;
    int32_t median = 0;
    int32_t upperQuartile = 0;
    int32_t maximum = 0;
};

// How many cells or pairs show a problem, and the first few in row order.
struct MatrixProblem {
    static constexpr std::size_t ExampleLimit = 5;

    int64_t count = 0;
    std::vector<NodePair> examples;

    void add(int from, int to);
};

// Demand weighted as the load dialog's weight W on demand set 1: W·d1 + (1 − W)·d2.
struct DemandCount {
    int weightPercent = 100;     // W in hundredths
    std::vector<double> ofNode;  // per demand node (index node - 1)
    double total = 0;
    // Of the demand nodes some other node covers, and of the isolated ones.
    double withinCoverage = 0;
    double isolated = 0;
};

struct CoverageReport {
    int nodes = 0;
    int demandNodes = 0;
    int32_t coverage = 0;

    int64_t offDiagonalCells = 0;
    // None without off-diagonal cells (fewer than two nodes).
    std::optional<DistanceSpread> offDiagonal;
    int64_t offDiagonalWithinCoverage = 0;
    // Cells each equation of the transformation would take at this coverage.
    std::array<int64_t, 4> equationCells{};

    // Per demand node (index node - 1): the other nodes k with D[node][k] <= coverage.
    std::vector<int> nodesWithinCoverage;
    std::vector<int> isolatedDemandNodes;
    // The smallest coverage that leaves no demand node isolated; none when there is no demand
    // node or one has no other node to be covered from.
    std::optional<int32_t> coverageToCoverEveryDemandNode;

    MatrixProblem asymmetricPairs;    // i < j with D[i][j] != D[j][i]
    MatrixProblem zeroDistancePairs;  // i < j with D[i][j] = D[j][i] = 0
    MatrixProblem negativeCells;      // any cell below 0, the diagonal included
    MatrixProblem nonZeroDiagonal;    // D[i][i] != 0

    // None until counted (countDemand).
    std::optional<DemandCount> demand;
};

// Nodes 1..demandNodes are demand nodes, the rest candidate sites.
CoverageReport buildCoverageReport(const TDataStore& store, int n, int demandNodes,
                                   int32_t coverage);
