#include "roads/RoadGraph.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "roads/Haversine.h"

namespace {

// Interleaves the bits of x and y: vertices near each other on the map end up near each
// other in memory, which the searches feel on large extracts.
uint64_t zOrder(uint32_t x, uint32_t y) {
    uint64_t key = 0;
    for (int bit = 0; bit < 32; ++bit) {
        key |= static_cast<uint64_t>((x >> bit) & 1u) << (2 * bit);
        key |= static_cast<uint64_t>((y >> bit) & 1u) << (2 * bit + 1);
    }
    return key;
}

uint32_t scaled(double value, double low, double high) {
    const double fraction = (value - low) / (high - low);
    return static_cast<uint32_t>(std::clamp(fraction, 0.0, 1.0) * 4294967295.0);
}

// Vertex numbers in map order: order[k] is the vertex that becomes number k.
std::vector<uint32_t> mapOrder(const std::vector<double>& longitudes,
                               const std::vector<double>& latitudes) {
    std::vector<uint32_t> order(longitudes.size());
    std::iota(order.begin(), order.end(), 0u);
    std::vector<uint64_t> keys(longitudes.size());
    for (std::size_t v = 0; v < keys.size(); ++v) {
        keys[v] = zOrder(scaled(longitudes[v], -180, 180), scaled(latitudes[v], -90, 90));
    }
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    return order;
}

template <typename T>
std::vector<T> permuted(const std::vector<T>& values, const std::vector<uint32_t>& order) {
    std::vector<T> result(values.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        result[k] = values[order[k]];
    }
    return result;
}

}  // namespace

RoadGraph buildRoadGraph(std::vector<int64_t> osmIds, std::vector<double> longitudes,
                         std::vector<double> latitudes, const std::vector<RoadSegment>& segments,
                         RoadCost cost) {
    const std::vector<uint32_t> order = mapOrder(longitudes, latitudes);
    std::vector<uint32_t> number(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        number[order[k]] = static_cast<uint32_t>(k);
    }
    RoadGraph graph;
    graph.osmIds = permuted(osmIds, order);
    graph.longitudes = permuted(longitudes, order);
    graph.latitudes = permuted(latitudes, order);
    graph.segments = segments.size();

    const std::size_t vertices = order.size();
    graph.firstArc.assign(vertices + 1, 0);
    for (const RoadSegment& segment : segments) {
        graph.firstArc[number[segment.from] + 1] += segment.forward ? 1 : 0;
        graph.firstArc[number[segment.to] + 1] += segment.backward ? 1 : 0;
    }
    std::partial_sum(graph.firstArc.begin(), graph.firstArc.end(), graph.firstArc.begin());
    graph.arcs.resize(graph.firstArc.back());
    std::vector<uint32_t> next(graph.firstArc.begin(), graph.firstArc.end() - 1);
    const auto addArc = [&](uint32_t tail, uint32_t head, double kmh) {
        const double metres = haversineMetres(graph.longitudes[tail], graph.latitudes[tail],
                                              graph.longitudes[head], graph.latitudes[head]);
        graph.arcs[next[tail]++] = {head, cost == RoadCost::Time ? metres * 3.6 / kmh : metres};
    };
    for (const RoadSegment& segment : segments) {
        const uint32_t from = number[segment.from];
        const uint32_t to = number[segment.to];
        if (segment.forward) {
            addArc(from, to, segment.forwardKmh);
        }
        if (segment.backward) {
            addArc(to, from, segment.backwardKmh);
        }
    }
    return graph;
}
