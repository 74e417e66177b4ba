// The road searches on a lattice of 500 x 500 road nodes, built in memory: sixteen searches
// that each settle nearly every node (their targets lie in the far corners), with the chain
// graph they travel built for them.

#include <benchmark/benchmark.h>

#include "platform/Workers.h"
#include "roads/RoadGraph.h"
#include "roads/RoadSearch.h"

namespace {

constexpr int Side = 500;

RoadGraph gridCity() {
    std::vector<int64_t> ids;
    std::vector<double> longitudes;
    std::vector<double> latitudes;
    for (int row = 0; row < Side; ++row) {
        for (int column = 0; column < Side; ++column) {
            ids.push_back(row * Side + column + 1);
            longitudes.push_back(10.0 + column * 0.0014);
            latitudes.push_back(50.0 + row * 0.0009);
        }
    }
    std::vector<RoadSegment> segments;
    const auto vertex = [](int row, int column) {
        return static_cast<uint32_t>(row * Side + column);
    };
    for (int row = 0; row < Side; ++row) {
        for (int column = 0; column + 1 < Side; ++column) {
            const bool oneWay = row % 3 == 1;
            segments.push_back({vertex(row, column), vertex(row, column + 1),
                                !oneWay || row % 6 == 1, !oneWay || row % 6 == 4});
            segments.push_back({vertex(column, row), vertex(column + 1, row), true, true});
        }
    }
    return buildRoadGraph(ids, longitudes, latitudes, segments, RoadCost::Distance);
}

void roadSearches(benchmark::State& state) {
    setWorkerCount(1);
    const RoadGraph graph = gridCity();
    // Sixteen searches from the corners and edges towards each other.
    std::vector<uint32_t> chosen;
    for (int k = 0; k < 16; ++k) {
        const int row = (k % 4) * (Side - 1) / 3;
        const int column = (k / 4) * (Side - 1) / 3;
        for (uint32_t v = 0; v < graph.vertexCount(); ++v) {
            if (graph.osmIds[v] == row * Side + column + 1) {
                chosen.push_back(v);
            }
        }
    }
    SilentProgress progress;
    for (auto _ : state) {
        benchmark::DoNotOptimize(leastCosts(graph, chosen, progress));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(chosen.size()));
    setWorkerCount(0);
}

}  // namespace

BENCHMARK(roadSearches)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
