#pragma once

// The cheapest costs between chosen vertices through a contraction hierarchy, all pairs at
// once: a search from each chosen vertex climbing the arcs into it leaves its cost at every
// vertex it reaches, in that vertex's bucket; a search from each chosen vertex climbing the
// arcs out of it then finds, at every vertex it reaches, the costs onward to the others in
// the bucket there. Both searches give up on a vertex that a more important one already
// reaches more cheaply. Spread over the workers, the searches from a few chosen vertices
// whole on one worker, each in a lane of its own, so no result depends on their number.

#include <cstdint>
#include <vector>

#include "platform/TaskProgress.h"
#include "roads/RoadHierarchy.h"

// costs[a * m + b] is the cheapest cost from vertices[a] to vertices[b] (m vertices of the
// graph, all different), infinity where no way leads. One step of progress per chosen
// vertex; throws TaskCancelled.
std::vector<double> tableThrough(const RoadHierarchy& hierarchy,
                                 const std::vector<uint32_t>& vertices, TaskProgress& progress);
