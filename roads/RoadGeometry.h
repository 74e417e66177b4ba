#pragma once

// The road graph as lines for a map or a GIS layer: each road between junctions (or ends) once,
// whatever directions it may be travelled in, so a drawing shows where the roads of the mode
// run without knowing about arcs.

#include "roads/RoadGraph.h"
#include "store/MatrixSource.h"

// Lines run from a vertex that does not just pass a road through (one that ends a road or
// joins three or more) to the next; a ring with no such vertex is one closed line.
RoadLines roadLines(const RoadGraph& graph);
