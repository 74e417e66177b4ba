#include "tests/support/RoadOracle.h"

#include <cmath>
#include <functional>
#include <queue>
#include <utility>

std::vector<OracleArc> arcsOf(const RoadGraph& graph) {
    std::vector<OracleArc> arcs;
    for (uint32_t tail = 0; tail < graph.vertexCount(); ++tail) {
        for (uint32_t a = graph.firstArc[tail]; a < graph.firstArc[tail + 1]; ++a) {
            arcs.push_back({tail, graph.arcs[a].head, graph.arcs[a].cost});
        }
    }
    return arcs;
}

std::vector<double> plainSearch(std::size_t vertices, const std::vector<OracleArc>& arcs,
                                uint32_t source) {
    std::vector<std::vector<const OracleArc*>> leaving(vertices);
    for (const OracleArc& arc : arcs) {
        leaving[arc.tail].push_back(&arc);
    }
    std::vector<double> cost(vertices, INFINITY);
    std::vector<bool> settled(vertices, false);
    using Entry = std::pair<double, uint32_t>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    cost[source] = 0;
    open.push({0, source});
    while (!open.empty()) {
        const uint32_t u = open.top().second;
        open.pop();
        if (settled[u]) {
            continue;
        }
        settled[u] = true;
        for (const OracleArc* arc : leaving[u]) {
            if (cost[u] + arc->cost < cost[arc->head]) {
                cost[arc->head] = cost[u] + arc->cost;
                open.push({cost[arc->head], arc->head});
            }
        }
    }
    return cost;
}

std::size_t nearestByScan(const std::vector<MapNode>& candidates, double longitude,
                          double latitude) {
    std::size_t best = 0;
    long double bestMetres = INFINITY;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        const MapNode& node = candidates[k];
        const long double metres = sphereMetres(longitude, latitude, node.longitude, node.latitude);
        if (metres < bestMetres || (metres == bestMetres && node.id < candidates[best].id)) {
            best = k;
            bestMetres = metres;
        }
    }
    return best;
}
