#pragma once

// A contraction hierarchy of a road graph, built once for a matrix: the vertices are taken
// out one after another, the least important first, and each is replaced by shortcuts
// between its neighbours wherever no other way between them found nearby costs as little, so
// that a cheapest way between any two vertices climbs from each end through ever more
// important vertices only. A vertex is the less important the fewer arcs its removal adds
// than it takes away, and the fewer of its neighbours have gone before it.
//
// A shortcut costs the sum of the two arcs it replaces, added as they come: the cost of a
// way through the hierarchy is its segments' sum in another order than a search along the
// roads adds them, and may differ from that in the last bits.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/TaskProgress.h"
#include "roads/ChainGraph.h"

struct HierarchyArc {
    uint32_t level;  // the other end's
    double cost;
};

// Vertices are known by their level, 0 for the first taken out. The arcs of the vertex at
// level v lead to more important vertices from up[firstUp[v]] to up[firstUp[v + 1]]; those
// from more important vertices into it run from down[firstDown[v]] to down[firstDown[v + 1]].
// Each is an arc of the graph or a shortcut.
struct RoadHierarchy {
    std::vector<uint32_t> levelOf;  // of each vertex of the graph
    std::vector<uint32_t> firstUp{0};
    std::vector<HierarchyArc> up;
    std::vector<uint32_t> firstDown{0};
    std::vector<HierarchyArc> down;
};

// The hierarchy of the chain graph's vertices, each chain an arc. Throws TaskCancelled.
RoadHierarchy buildRoadHierarchy(const ChainGraph& graph, const TaskProgress& progress);
