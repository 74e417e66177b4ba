#pragma once

// The roads of one mode as a compact directed graph: the vertices are the OpenStreetMap
// nodes that end a road segment, the arcs the directions one may travel each segment in, all
// arcs leaving vertex v stored together from firstArc[v] to firstArc[v + 1].

#include <cstddef>
#include <cstdint>
#include <vector>

struct RoadArc {
    uint32_t head;
    double metres;
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

// One segment of a road as read, between two vertices, in the directions it may be travelled.
struct RoadSegment {
    uint32_t from;
    uint32_t to;
    bool forward;
    bool backward;
};

// Builds the graph of the vertices at the given places and the segments between them; each
// arc is as long as the haversine distance from its tail to its head.
RoadGraph buildRoadGraph(std::vector<int64_t> osmIds, std::vector<double> longitudes,
                         std::vector<double> latitudes, const std::vector<RoadSegment>& segments);
