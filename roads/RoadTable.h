#pragma once

// The least costs between the chosen vertices through a contraction hierarchy: the hierarchy
// is built once and the whole table read from it at once. A hierarchy's cost adds the
// segments in another order than a plain search (roads/RoadSearch) and may differ from it in
// the last bits; each is kept only where it cannot make a different cell, and the rows where
// it could are searched plainly, so the cells are always those of the plain search. Building
// the hierarchy of a lattice-like city costs more than the plain searches of 901 nodes (see
// the road figures in the README), so the matrix still searches plainly.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/TaskProgress.h"
#include "roads/RoadGraph.h"

// The cell a cost becomes; nothing when it does not fit one.
using CellOfCost = std::function<std::optional<int32_t>(double cost)>;

// costs[a * m + b] as leastCosts gives it, or a cost that cellOf turns into the same cell;
// infinity exactly where no road leads. One step of progress per vertex; throws TaskCancelled.
std::vector<double> hierarchyCosts(const RoadGraph& graph, const std::vector<uint32_t>& vertices,
                                   const CellOfCost& cellOf, TaskProgress& progress);
