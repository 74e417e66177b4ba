#pragma once

// An order in which to take the vertices of a chain graph out of a contraction hierarchy,
// found from where they lie: the map is cut in two across its wider side, the vertices on
// one side of the cut that have roads across it go last, and each half is ordered the same
// way before them. A vertex then only ever joins vertices on the rim of its own part of the
// map, so a city laid out as a lattice grows no denser than its cuts are long.

#include <cstdint>
#include <vector>

#include "roads/ChainGraph.h"
#include "roads/RoadGraph.h"

// Levels first to last, from one up to another.
struct LevelRange {
    uint32_t first;
    uint32_t end;
};

struct Dissection {
    std::vector<uint32_t> levelOf;  // of each vertex of the graph, all different, from 0
    // Parts of the map no arc joins to each other: a vertex of one has arcs only to vertices
    // of its own part and to vertices above all parts.
    std::vector<LevelRange> parts;
};

Dissection dissectionOrder(const ChainGraph& graph, const RoadGraph& roads);
