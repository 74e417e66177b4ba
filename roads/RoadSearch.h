#pragma once

// Shortest road lengths between chosen vertices: one search from each, Dijkstra's with a
// binary heap, spread over the workers, each search ending once it has reached every chosen
// vertex. A length is the sum of its arcs taken from the start outward, as a plain search
// adds them, so no result depends on how the searches are spread.

#include <cstdint>
#include <vector>

#include "platform/TaskProgress.h"
#include "roads/RoadGraph.h"

// lengths[a * m + b] is the shortest length in metres from vertices[a] to vertices[b]
// (m vertices, all different), infinity where no road leads. One step of progress per
// search; throws TaskCancelled.
std::vector<double> shortestLengths(const RoadGraph& graph, const std::vector<uint32_t>& vertices,
                                    TaskProgress& progress);
