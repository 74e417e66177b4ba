#pragma once

// The least costs between the chosen vertices, as the matrix gets them: for enough vertices
// through a contraction hierarchy, built once and the whole table read from it at once;
// for a few, one plain search from each (roads/RoadSearch), which then costs less than
// building the hierarchy. A hierarchy's cost adds the segments in another order than a plain
// search and may differ from it in the last bits; each is kept only where it cannot make a
// different cell, and the rows where it could are searched plainly, so the cells are always
// those of the plain search.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/TaskProgress.h"
#include "roads/RoadGraph.h"

// A hierarchy's arc takes 20 bytes: beyond this many the plain searches use far less memory,
// and on the lattices that reach it take little more than twice the time.
inline constexpr std::size_t MaxHierarchyArcs = 50'000'000;

// The cell a cost becomes; nothing when it does not fit one.
using CellOfCost = std::function<std::optional<int32_t>(double cost)>;

// costs[a * m + b] as leastCosts gives it, or a cost that cellOf turns into the same cell;
// infinity exactly where no road leads. As many steps of progress as vertices, the building
// of a hierarchy the first half of them; throws TaskCancelled.
std::vector<double> roadTable(const RoadGraph& graph, const std::vector<uint32_t>& vertices,
                              const CellOfCost& cellOf, TaskProgress& progress);

// The same through a hierarchy whatever the number of vertices, unless it would hold more
// than `maxArcs` arcs or the memory for it runs out.
std::vector<double> hierarchyCosts(const RoadGraph& graph, const std::vector<uint32_t>& vertices,
                                   const CellOfCost& cellOf, TaskProgress& progress,
                                   std::size_t maxArcs = MaxHierarchyArcs);
