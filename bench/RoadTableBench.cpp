// The road table of 901 chosen road nodes side by side: one plain search from each, and a
// contraction hierarchy (its building and its table timed apart), on streets cities and
// lattices of 2,500 to 1,000,000 road nodes built in memory as
// bench/RoadCity.cpp draws them. The plain search on the large graphs takes minutes: run it
// with --benchmark_filter to choose.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <set>

#include "platform/TaskProgress.h"
#include "roads/ChainGraph.h"
#include "roads/HierarchyTable.h"
#include "roads/RoadHierarchy.h"
#include "roads/RoadSearch.h"
#include "roads/RoadTable.h"
#include "store/DistanceMetrics.h"

namespace {

constexpr double LongitudeStep = 0.0014;
constexpr double LatitudeStep = 0.0009;

class GraphBuilder {
public:
    uint32_t vertex(double longitude, double latitude) {
        ids.push_back(static_cast<int64_t>(ids.size()) + 1);
        longitudes.push_back(longitude);
        latitudes.push_back(latitude);
        return static_cast<uint32_t>(ids.size() - 1);
    }
    void way(const std::vector<uint32_t>& vertices, bool forward, bool backward) {
        for (std::size_t k = 0; k + 1 < vertices.size(); ++k) {
            segments.push_back({vertices[k], vertices[k + 1], forward, backward, 30, 30});
        }
    }
    RoadGraph graph() const {
        return buildRoadGraph(ids, longitudes, latitudes, segments, RoadCost::Distance);
    }

    std::vector<int64_t> ids;
    std::vector<double> longitudes;
    std::vector<double> latitudes;
    std::vector<RoadSegment> segments;
};

// Every node a junction; every third row one way, in turn either way.
RoadGraph lattice(int roadNodes) {
    const int side = static_cast<int>(std::lround(std::sqrt(roadNodes)));
    GraphBuilder city;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            city.vertex(10 + column * LongitudeStep, 50 + row * LatitudeStep);
        }
    }
    const auto at = [side](int row, int column) {
        return static_cast<uint32_t>(row * side + column);
    };
    for (int line = 0; line < side; ++line) {
        std::vector<uint32_t> row;
        std::vector<uint32_t> column;
        for (int along = 0; along < side; ++along) {
            row.push_back(at(line, along));
            column.push_back(at(along, line));
        }
        city.way(row, line % 3 != 1 || line % 6 == 1, line % 3 != 1 || line % 6 == 4);
        city.way(column, true, true);
    }
    return city.graph();
}

// Junctions about every 100 m, four shape nodes between them, every fifth street one way;
// service roads off the shape nodes, most of them dead ends, one in four coming back.
RoadGraph streets(int roadNodes) {
    std::mt19937 random(20240611);
    const auto jitter = [&](double size) {
        return std::uniform_real_distribution<double>(-size, size)(random);
    };
    const int j = static_cast<int>(std::sqrt(roadNodes / 10.0));
    GraphBuilder city;
    std::vector<uint32_t> junction;
    for (int row = 0; row < j; ++row) {
        for (int column = 0; column < j; ++column) {
            junction.push_back(city.vertex(10 + column * LongitudeStep + jitter(0.00003),
                                           50 + row * LatitudeStep + jitter(0.00002)));
        }
    }
    std::vector<uint32_t> shapeNodes;
    for (const bool isRow : {true, false}) {
        for (int index = 0; index < j; ++index) {
            std::vector<uint32_t> street;
            for (int along = 0; along < j; ++along) {
                const uint32_t next = junction[static_cast<std::size_t>(isRow ? index * j + along
                                                                              : along * j + index)];
                if (!street.empty()) {
                    const uint32_t from = street.back();
                    for (int k = 1; k <= 4; ++k) {
                        const double t = k / 5.0;
                        street.push_back(city.vertex(
                            city.longitudes[from] +
                                t * (city.longitudes[next] - city.longitudes[from]) + jitter(1e-5),
                            city.latitudes[from] +
                                t * (city.latitudes[next] - city.latitudes[from]) + jitter(1e-5)));
                        shapeNodes.push_back(street.back());
                    }
                }
                street.push_back(next);
            }
            const bool oneWay = index % 5 == 2;
            city.way(street, !oneWay || index % 10 == 2, !oneWay || index % 10 != 2);
        }
    }
    while (static_cast<int>(city.ids.size()) < roadNodes) {
        const uint32_t start = shapeNodes[random() % shapeNodes.size()];
        const bool loop = random() % 4 == 0;
        const int length = std::min(3 + static_cast<int>(random() % 6),
                                    roadNodes - static_cast<int>(city.ids.size()));
        std::vector<uint32_t> road{start};
        for (int k = 1; k <= length; ++k) {
            road.push_back(city.vertex(city.longitudes[start] + 0.00012 * k,
                                       city.latitudes[start] + 0.00004 * k + jitter(5e-6)));
        }
        if (loop) {
            road.push_back(start);
        }
        city.way(road, true, true);
    }
    return city.graph();
}

struct Problem {
    RoadGraph graph;
    std::vector<uint32_t> chosen;
};

const Problem& problem(bool isLattice, int roadNodes) {
    static std::map<std::pair<bool, int>, Problem> made;
    Problem& result = made[{isLattice, roadNodes}];
    if (result.chosen.empty()) {
        result.graph = isLattice ? lattice(roadNodes) : streets(roadNodes);
        std::mt19937 random(901);
        std::set<uint32_t> chosen;
        while (chosen.size() < 901) {
            chosen.insert(static_cast<uint32_t>(random() % result.graph.vertexCount()));
        }
        result.chosen.assign(chosen.begin(), chosen.end());
    }
    return result;
}

constexpr std::size_t Unbounded = std::numeric_limits<std::size_t>::max();

const CellOfCost InMetres = [](double cost) { return roundToCell(cost); };

void plainTable(benchmark::State& state) {
    const Problem& roads = problem(state.range(0) != 0, static_cast<int>(state.range(1)));
    SilentProgress progress;
    for (auto _ : state) {
        benchmark::DoNotOptimize(leastCosts(roads.graph, roads.chosen, progress));
    }
}

void contraction(benchmark::State& state) {
    const Problem& roads = problem(state.range(0) != 0, static_cast<int>(state.range(1)));
    SilentProgress progress;
    for (auto _ : state) {
        const ChainGraph chains = buildChainGraph(roads.graph, roads.chosen);
        const std::optional<RoadHierarchy> hierarchy =
            buildRoadHierarchy(chains, roads.graph, Unbounded, progress);
        state.counters["core"] = static_cast<double>(chains.vertexCount());
        state.counters["arcs"] = static_cast<double>(hierarchy->head.size());
    }
}

void hierarchyTable(benchmark::State& state) {
    const Problem& roads = problem(state.range(0) != 0, static_cast<int>(state.range(1)));
    SilentProgress progress;
    const ChainGraph chains = buildChainGraph(roads.graph, roads.chosen);
    const std::optional<RoadHierarchy> hierarchy =
        buildRoadHierarchy(chains, roads.graph, Unbounded, progress);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tableThrough(*hierarchy, chains.chosen, progress));
    }
}

// The whole table as the matrix gets it: hierarchy, table and the rows searched plainly.
void hierarchyWhole(benchmark::State& state) {
    const Problem& roads = problem(state.range(0) != 0, static_cast<int>(state.range(1)));
    SilentProgress progress;
    for (auto _ : state) {
        benchmark::DoNotOptimize(hierarchyCosts(roads.graph, roads.chosen, InMetres, progress));
    }
}

void sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"lattice", "nodes"});
    for (int isLattice : {0, 1}) {
        for (int nodes : {2500, 10000, 25000, 100000, 250000, 1000000}) {
            benchmark->Args({isLattice, nodes});
        }
    }
    benchmark->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
}

}  // namespace

BENCHMARK(plainTable)->Apply(sizes);
BENCHMARK(contraction)->Apply(sizes);
BENCHMARK(hierarchyTable)->Apply(sizes);
BENCHMARK(hierarchyWhole)->Apply(sizes);

BENCHMARK_MAIN();
