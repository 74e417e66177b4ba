#pragma once

// The road graph as the searches between chosen vertices travel it. A vertex that is not
// chosen and touches exactly two others only passes the road through: no search needs to hold
// it, so the roads between the other (core) vertices become chains that keep the costs of their
// segments in order, to be added one by one as a search over every vertex adds them. A vertex
// that is not chosen and leads only into dead ends lies on no way between chosen vertices
// and is left out, as is a chain that returns to its start.

#include <cstdint>
#include <vector>

#include "roads/RoadGraph.h"

// The first segment's cost sits in the arc, which a search reads anyway: on roads with a
// junction at every node that is all there is to read.
struct ChainArc {
    uint32_t head;          // a core vertex
    uint32_t moreSegments;  // how many costs it adds after the first
    double firstCost;
};

// Core vertices keep the order of their road vertices. The arcs leaving core vertex v run
// from firstArc[v] to firstArc[v + 1], and the costs after their first, arc after arc,
// start at costs[firstCost[v]].
struct ChainGraph {
    std::vector<uint32_t> firstArc{0};  // one more than there are core vertices
    std::vector<uint32_t> firstCost;
    std::vector<ChainArc> arcs;
    std::vector<double> costs;
    std::vector<uint32_t> roadVertex;  // of each core vertex
    // The core vertex of each chosen road vertex, in the order given.
    std::vector<uint32_t> chosen;

    std::size_t vertexCount() const { return firstArc.size() - 1; }
};

ChainGraph buildChainGraph(const RoadGraph& graph, const std::vector<uint32_t>& chosen);
