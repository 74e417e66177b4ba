#pragma once

// The road vertices indexed by place, to find the one nearest to a place by the haversine
// distance, a tie going to the smallest OpenStreetMap id. The vertices are held in a k-d
// tree of their points on the unit sphere, where the straight-line distance grows with the
// distance along the sphere, so the tree can leave out whole regions; every vertex that could
// tie is still measured by the haversine formula itself.

#include <cstdint>
#include <vector>

#include "roads/RoadGraph.h"

struct RoadSnap {
    uint32_t vertex;
    double metres;
};

class RoadNodeIndex {
public:
    // The graph must have a vertex and outlive this.
    explicit RoadNodeIndex(const RoadGraph& graph);

    RoadSnap nearest(double longitude, double latitude) const;

private:
    struct Point {
        double xyz[3];
        uint32_t vertex;
    };
    struct Search;

    void build(std::size_t begin, std::size_t end, bool halvesSideBySide);
    void visit(std::size_t begin, std::size_t end, Search& search) const;

    const RoadGraph& m_graph;
    // A tree in place: the middle point of each range splits it along m_axis of that point.
    std::vector<Point> m_points;
    std::vector<uint8_t> m_axis;
};
