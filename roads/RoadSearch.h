#pragma once

// The least costs (road lengths or travel times) between chosen vertices: one search from
// each, Dijkstra's with a binary heap over the chain graph, spread over the workers, each
// search ending once it has reached every chosen vertex. A cost is the sum of its segments'
// taken from the start outward, as a plain search over every vertex adds them, so neither
// the chains nor how the searches are spread change a result.

#include <cstdint>
#include <vector>

#include "platform/TaskProgress.h"
#include "roads/ChainGraph.h"
#include "roads/RoadGraph.h"

// costs[a * m + b] is the least cost, in the arcs' unit, from vertices[a] to vertices[b]
// (m vertices, all different), infinity where no road leads. One step of progress per
// search; throws TaskCancelled.
std::vector<double> leastCosts(const RoadGraph& graph, const std::vector<uint32_t>& vertices,
                               TaskProgress& progress);

// The same searches over a chain graph built for the chosen vertices, for the given rows only:
// each fills costs[a * m + b] for its row a. One step of progress per row.
void searchRows(const ChainGraph& graph, const std::vector<int>& rows, std::vector<double>& costs,
                TaskProgress& progress);
