#pragma once

// A contraction hierarchy of a road graph, built once for a matrix. The vertices are taken
// out one after another in an order found from where they lie (roads/DissectionOrder), and
// taking one out joins every two of its neighbours still in, so that the arcs depend only on
// the order: they are found before any cost is looked at, and what they would hold is known
// before it is built. A joining arc then costs the least of the arcs it stands for, each the
// sum of two below it: a way's cost through the hierarchy adds its segments in another
// order than a search along the roads does, and may differ from that in the last bits.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/HugePages.h"
#include "platform/TaskProgress.h"
#include "roads/ChainGraph.h"
#include "roads/RoadGraph.h"

// A lattice of a million road nodes gives arrays of hundreds of megabytes.
template <typename T>
using HierarchyArray = std::vector<T, HugePageAllocator<T>>;

// Vertices are known by their level, 0 for the first taken out. The arcs of the vertex at
// level v join it to more important vertices, those at head[firstArc[v]] up to
// head[firstArc[v + 1]], in rising level; each costs `up` on the way up from the vertex at
// level v, and `down` on the way back down to it (infinity where there is no way). The two
// sit side by side: building lowers both of an arc at once.
struct ArcCost {
    double up;
    double down;
};

struct RoadHierarchy {
    std::vector<uint32_t> levelOf;  // of each vertex of the graph
    std::vector<uint32_t> firstArc{0};
    HierarchyArray<uint32_t> head;
    HierarchyArray<ArcCost> cost;
};

// How far a building has come, told by advanceTo from any of the workers.
inline constexpr long long BuildingSteps = 1000;

// The hierarchy of the chain graph's vertices, each chain an arc, placed where `roads` has
// them; nothing if it would hold more than `maxArcs` arcs. Throws TaskCancelled.
std::optional<RoadHierarchy> buildRoadHierarchy(const ChainGraph& graph, const RoadGraph& roads,
                                                std::size_t maxArcs, TaskProgress& progress);
