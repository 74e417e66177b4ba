#pragma once

// The roads of one mode as a compact directed graph: the vertices are the OpenStreetMap
// nodes that end a road segment, the arcs the directions one may travel each segment in, all
// arcs leaving vertex v stored together from firstArc[v] to firstArc[v + 1]. An arc costs
// what the matrix measures: its length in metres, or the seconds it takes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "roads/RoadSettings.h"

struct RoadArc {
    uint32_t head;
    double cost;
};

struct RoadGraph {
    std::vector<int64_t> osmIds;
    std::vector<double> longitudes;
    std::vector<double> latitudes;
    std::vector<uint32_t> firstArc;  // one more than there are vertices
    std::vector<RoadArc> arcs;
    // Segments between two nodes the extract holds, on roads of the mode.
    std::size_t segments = 0;

    std::size_t vertexCount() const { return osmIds.size(); }
};

// One segment of a road as read, between two vertices, in the directions it may be travelled
// and at the speeds in km/h it is travelled with (read only for travel time).
struct RoadSegment {
    uint32_t from;
    uint32_t to;
    bool forward;
    bool backward;
    double forwardKmh = 0;
    double backwardKmh = 0;
};

// Builds the graph of the vertices at the given places and the segments between them. An
// arc is as long as the haversine distance from its tail to its head; its time in seconds
// is metres x 3.6 / km/h, multiplied first.
RoadGraph buildRoadGraph(std::vector<int64_t> osmIds, std::vector<double> longitudes,
                         std::vector<double> latitudes, const std::vector<RoadSegment>& segments,
                         RoadCost cost);
