#pragma once

// The road searches and the snapping written plainly, for the tests to hold the program's
// against: a search over every vertex and arc, and a scan of every candidate node.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "roads/RoadGraph.h"
#include "tests/support/RoadMaps.h"

struct OracleArc {
    uint32_t tail;
    uint32_t head;
    double cost;
};

// The arcs of a road graph, each with its cost.
std::vector<OracleArc> arcsOf(const RoadGraph& graph);

// Dijkstra's from `source` over vertices 0 .. vertices - 1 with a heap of (cost, vertex) pairs,
// each cost the sum of the arcs from the source outward: the cost of reaching every vertex,
// infinity where no arc leads.
std::vector<double> plainSearch(std::size_t vertices, const std::vector<OracleArc>& arcs,
                                uint32_t source);

// The index of the candidate nearest to the place by sphereMetres, the smaller id on a tie.
std::size_t nearestByScan(const std::vector<MapNode>& candidates, double longitude,
                          double latitude);
