#include "roads/RoadNodeIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/Workers.h"
#include "roads/Haversine.h"

namespace {

// Below this many points handing them to the workers costs more than it saves.
constexpr int PointsPerTurn = 1 << 16;

void unitVector(double longitude, double latitude, double xyz[3]) {
    const double lambda = longitude * RadiansPerDegree;
    const double phi = latitude * RadiansPerDegree;
    xyz[0] = std::cos(phi) * std::cos(lambda);
    xyz[1] = std::cos(phi) * std::sin(lambda);
    xyz[2] = std::sin(phi);
}

double squaredChord(const double a[3], const double b[3]) {
    double sum = 0;
    for (int k = 0; k < 3; ++k) {
        sum += (a[k] - b[k]) * (a[k] - b[k]);
    }
    return sum;
}

}  // namespace

struct RoadNodeIndex::Search {
    double longitude = 0;
    double latitude = 0;
    double xyz[3] = {};
    RoadSnap best{0, std::numeric_limits<double>::infinity()};
    double bestChord = std::numeric_limits<double>::infinity();
    // A region is left out only when even its nearest possible point is clearly farther
    // than the best so far: chords and haversine distances are rounded differently.
    double reach() const { return bestChord * (1 + 1e-9) + 1e-18; }
};

RoadNodeIndex::RoadNodeIndex(const RoadGraph& graph)
    : m_graph(graph), m_points(graph.vertexCount()), m_axis(graph.vertexCount()) {
    forEachBlock(0, static_cast<int>(m_points.size()) - 1, PointsPerTurn, [&](int first, int last) {
        for (auto v = static_cast<uint32_t>(first); v <= static_cast<uint32_t>(last); ++v) {
            unitVector(graph.longitudes[v], graph.latitudes[v], m_points[v].xyz);
            m_points[v].vertex = v;
        }
    });
    build(0, m_points.size(), true);
}

void RoadNodeIndex::build(std::size_t begin, std::size_t end, bool halvesSideBySide) {
    if (end - begin < 2) {
        return;
    }
    double low[3] = {2, 2, 2};
    double high[3] = {-2, -2, -2};
    for (std::size_t i = begin; i < end; ++i) {
        for (int k = 0; k < 3; ++k) {
            low[k] = std::min(low[k], m_points[i].xyz[k]);
            high[k] = std::max(high[k], m_points[i].xyz[k]);
        }
    }
    int axis = 0;
    for (int k = 1; k < 3; ++k) {
        if (high[k] - low[k] > high[axis] - low[axis]) {
            axis = k;
        }
    }
    const std::size_t middle = begin + (end - begin) / 2;
    std::nth_element(m_points.begin() + static_cast<std::ptrdiff_t>(begin),
                     m_points.begin() + static_cast<std::ptrdiff_t>(middle),
                     m_points.begin() + static_cast<std::ptrdiff_t>(end),
                     [axis](const Point& a, const Point& b) { return a.xyz[axis] < b.xyz[axis]; });
    m_axis[middle] = static_cast<uint8_t>(axis);
    if (!halvesSideBySide || end - begin < PointsPerTurn) {
        build(begin, middle, false);
        build(middle + 1, end, false);
        return;
    }
    // The halves share no point, so the tree is the same whoever builds them.
    forEachBlock(0, 1, 1, [&](int half, int) {
        if (half == 0) {
            build(begin, middle, false);
        } else {
            build(middle + 1, end, false);
        }
    });
}

RoadSnap RoadNodeIndex::nearest(double longitude, double latitude) const {
    Search search;
    search.longitude = longitude;
    search.latitude = latitude;
    unitVector(longitude, latitude, search.xyz);
    visit(0, m_points.size(), search);
    return search.best;
}

void RoadNodeIndex::visit(std::size_t begin, std::size_t end, Search& search) const {
    if (begin >= end) {
        return;
    }
    const std::size_t middle = begin + (end - begin) / 2;
    const Point& point = m_points[middle];
    const double chord = squaredChord(point.xyz, search.xyz);
    if (chord <= search.reach()) {
        const uint32_t v = point.vertex;
        const double metres = haversineMetres(search.longitude, search.latitude,
                                              m_graph.longitudes[v], m_graph.latitudes[v]);
        const bool closer =
            metres < search.best.metres || (metres == search.best.metres &&
                                            m_graph.osmIds[v] < m_graph.osmIds[search.best.vertex]);
        if (closer) {
            search.best = {v, metres};
            search.bestChord = chord;
        } else if (metres == search.best.metres) {
            search.bestChord = std::max(search.bestChord, chord);
        }
    }
    if (end - begin < 2) {
        return;
    }
    const int axis = m_axis[middle];
    const double offset = search.xyz[axis] - point.xyz[axis];
    const bool lowFirst = offset < 0;
    if (lowFirst) {
        visit(begin, middle, search);
    } else {
        visit(middle + 1, end, search);
    }
    if (offset * offset <= search.reach()) {
        if (lowFirst) {
            visit(middle + 1, end, search);
        } else {
            visit(begin, middle, search);
        }
    }
}
