#include "roads/RoadSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <mutex>
#include <numeric>
#include <random>
#include <set>

#include "platform/Workers.h"
#include "roads/ChainGraph.h"
#include "roads/RoadTable.h"
#include "store/DistanceMetrics.h"
#include "tests/support/RoadOracle.h"

namespace {

// A plain search from each chosen vertex over every vertex and segment of the graph.
std::vector<double> plainCosts(const RoadGraph& graph, const std::vector<uint32_t>& chosen) {
    const std::vector<OracleArc> arcs = arcsOf(graph);
    std::vector<double> result;
    for (uint32_t source : chosen) {
        const std::vector<double> costs = plainSearch(graph.vertexCount(), arcs, source);
        for (uint32_t target : chosen) {
            result.push_back(costs[target]);
        }
    }
    return result;
}

// Random road graphs with every shape a road takes between junctions: streets of several
// segments, each segment both ways or one way, so that a street's direction may change along
// it; streets missing; loops that come back to where they left; dead ends and dead-end
// branches; rings and lines on their own; segments drawn twice; and chosen vertices anywhere,
// inside streets, loops and dead ends too. For travel time each segment has a speed of its own
// each way, so a segment drawn twice may be quicker in its second drawing.
class RandomRoads {
public:
    RandomRoads(unsigned seed, RoadCost cost) : m_random(seed) {
        constexpr int Junctions = 7;
        std::vector<uint32_t> junctions;
        for (int row = 0; row < Junctions; ++row) {
            for (int column = 0; column < Junctions; ++column) {
                junctions.push_back(vertex(10.0 + 0.004 * column, 50.0 + 0.003 * row));
            }
        }
        const auto junction = [&](int row, int column) {
            return junctions[static_cast<std::size_t>(row * Junctions + column)];
        };
        for (int row = 0; row < Junctions; ++row) {
            for (int column = 0; column < Junctions; ++column) {
                if (column + 1 < Junctions && chance(5, 6)) {
                    street(junction(row, column), junction(row, column + 1));
                }
                if (row + 1 < Junctions && chance(5, 6)) {
                    street(junction(row, column), junction(row + 1, column));
                }
            }
        }
        for (int k = 0; k < 12; ++k) {
            loopFrom(anyVertex());
        }
        for (int k = 0; k < 15; ++k) {
            deadEndFrom(anyVertex());
        }
        const uint32_t ringStart = vertex(10.05, 50.05);
        loopFrom(ringStart);
        const uint32_t lineStart = vertex(10.06, 50.06);
        deadEndFrom(lineStart);
        for (int k = 0; k < 10; ++k) {
            const RoadSegment twice = segments[pick(segments.size())];
            segments.push_back(twice);
        }
        for (RoadSegment& segment : segments) {
            segment.forwardKmh = 5.0 + static_cast<double>(pick(100));
            segment.backwardKmh = 5.0 + static_cast<double>(pick(100));
        }

        std::set<uint32_t> chosenSet{ringStart, lineStart};
        while (chosenSet.size() < 36) {
            chosenSet.insert(anyVertex());
        }
        chosen.assign(chosenSet.begin(), chosenSet.end());
        std::shuffle(chosen.begin(), chosen.end(), m_random);
        graph = buildRoadGraph(ids, longitudes, latitudes, segments, cost);
        // The graph numbers its vertices in its own order.
        std::vector<uint32_t> numberOf(ids.size());
        for (uint32_t v = 0; v < graph.vertexCount(); ++v) {
            numberOf[static_cast<std::size_t>(graph.osmIds[v] - 1)] = v;
        }
        for (uint32_t& v : chosen) {
            v = numberOf[v];
        }
    }

    RoadGraph graph;
    std::vector<uint32_t> chosen;

private:
    bool chance(unsigned times, unsigned in) { return m_random() % in < times; }
    std::size_t pick(std::size_t count) { return m_random() % count; }
    uint32_t anyVertex() { return static_cast<uint32_t>(pick(ids.size())); }
    double jitter() { return static_cast<double>(m_random() % 1000) * 1e-7; }

    uint32_t vertex(double longitude, double latitude) {
        ids.push_back(static_cast<int64_t>(ids.size()) + 1);
        longitudes.push_back(longitude + jitter());
        latitudes.push_back(latitude + jitter());
        return static_cast<uint32_t>(ids.size() - 1);
    }

    // Both ways mostly, else one way either way.
    void segment(uint32_t from, uint32_t to) {
        switch (m_random() % 5) {
            case 0:
                segments.push_back({from, to, true, false});
                break;
            case 1:
                segments.push_back({from, to, false, true});
                break;
            default:
                segments.push_back({from, to, true, true});
        }
    }

    // Through 0 to 5 inner vertices; one street in three keeps one direction throughout.
    void path(const std::vector<uint32_t>& vertices) {
        if (chance(1, 3)) {
            const bool forward = chance(1, 2);
            for (std::size_t k = 0; k + 1 < vertices.size(); ++k) {
                segments.push_back({vertices[k], vertices[k + 1], forward, !forward});
            }
            return;
        }
        for (std::size_t k = 0; k + 1 < vertices.size(); ++k) {
            segment(vertices[k], vertices[k + 1]);
        }
    }

    void street(uint32_t from, uint32_t to) {
        std::vector<uint32_t> vertices{from};
        const int inner = static_cast<int>(m_random() % 6);
        for (int k = 1; k <= inner; ++k) {
            const double t = static_cast<double>(k) / (inner + 1);
            vertices.push_back(vertex(longitudes[from] + t * (longitudes[to] - longitudes[from]),
                                      latitudes[from] + t * (latitudes[to] - latitudes[from])));
        }
        vertices.push_back(to);
        path(vertices);
    }

    void loopFrom(uint32_t start) {
        std::vector<uint32_t> vertices{start};
        const int inner = 2 + static_cast<int>(m_random() % 5);
        for (int k = 0; k < inner; ++k) {
            vertices.push_back(vertex(longitudes[start] + 0.0005 * std::cos(k),
                                      latitudes[start] + 0.0005 * std::sin(k)));
        }
        vertices.push_back(start);
        path(vertices);
    }

    // A dead end, sometimes with a branch of its own.
    void deadEndFrom(uint32_t start) {
        std::vector<uint32_t> vertices{start};
        const int length = 1 + static_cast<int>(m_random() % 5);
        for (int k = 1; k <= length; ++k) {
            vertices.push_back(
                vertex(longitudes[start] + 0.0003 * k, latitudes[start] - 0.0002 * k));
        }
        path(vertices);
        if (chance(1, 2)) {
            const uint32_t fork = vertices[pick(vertices.size())];
            path({fork, vertex(longitudes[fork] - 0.0002, latitudes[fork] - 0.0003)});
        }
    }

    std::mt19937 m_random;
    std::vector<int64_t> ids;
    std::vector<double> longitudes;
    std::vector<double> latitudes;
    std::vector<RoadSegment> segments;
};

TEST(RoadSearch, CostsAlongChainsAreThoseOfAPlainSearchCellByCell) {
    for (unsigned seed = 1; seed <= 50; ++seed) {
        const RandomRoads roads(seed, seed % 2 == 0 ? RoadCost::Time : RoadCost::Distance);
        // The shapes leave most vertices inside chains or dead ends, and some pairs apart.
        ASSERT_LT(buildChainGraph(roads.graph, roads.chosen).vertexCount() * 2,
                  roads.graph.vertexCount());
        const std::vector<double> expected = plainCosts(roads.graph, roads.chosen);
        ASSERT_TRUE(std::any_of(expected.begin(), expected.end(),
                                [](double cost) { return std::isinf(cost); }));
        for (unsigned workers : {1u, 2u}) {
            setWorkerCount(workers);
            SilentProgress progress;
            const std::vector<double> costs = leastCosts(roads.graph, roads.chosen, progress);
            ASSERT_EQ(costs.size(), expected.size());
            for (std::size_t cell = 0; cell < expected.size(); ++cell) {
                ASSERT_EQ(costs[cell], expected[cell])
                    << "seed " << seed << ", " << workers << " workers, row "
                    << cell / roads.chosen.size() << ", column " << cell % roads.chosen.size();
            }
        }
        setWorkerCount(0);
    }
}

// A lattice whose segments cost 0.1, 0.2 or 0.3, a few one way or missing, the last vertex
// cut off: ways of equal cost abound whose sums, added in their order, differ in the last
// bit, and in units of 0.2 many costs lie on a half, where that bit decides the cell.
RoadGraph tiedLattice(unsigned seed) {
    constexpr uint32_t Side = 9;
    std::mt19937 random(seed);
    std::vector<std::vector<RoadArc>> leaving(Side * Side);
    const auto join = [&](uint32_t from, uint32_t to) {
        const unsigned kind = random() % 8;
        const auto cost = [&] { return 0.1 * static_cast<double>(1 + random() % 3); };
        if (kind != 0 && to != Side * Side - 1) {
            leaving[from].push_back({to, cost()});
            if (kind > 2) {
                leaving[to].push_back({from, cost()});
            }
        }
    };
    for (uint32_t v = 0; v < Side * Side; ++v) {
        if (v % Side + 1 < Side) {
            join(v, v + 1);
        }
        if (v + Side < Side * Side) {
            join(v, v + Side);
        }
    }
    RoadGraph graph;
    for (uint32_t v = 0; v < Side * Side; ++v) {
        graph.osmIds.push_back(v + 1);
        graph.longitudes.push_back(10 + 0.001 * (v % Side));
        graph.latitudes.push_back(50 + 0.001 * (v / Side));
        graph.firstArc.push_back(static_cast<uint32_t>(graph.arcs.size()));
        graph.arcs.insert(graph.arcs.end(), leaving[v].begin(), leaving[v].end());
    }
    graph.firstArc.push_back(static_cast<uint32_t>(graph.arcs.size()));
    return graph;
}

TEST(RoadSearch, HierarchyTablesGiveThePlainSearchCellsWithOneOrTwoWorkers) {
    const CellOfCost whole = [](double cost) { return roundToCell(cost); };
    const CellOfCost fifths = [](double cost) { return roundToCell(cost / 0.2L); };
    // Tells a cost from its neighbours: only the plain search's own costs give these cells.
    const CellOfCost bits = [](double cost) {
        return std::optional<int32_t>(
            static_cast<int32_t>(std::bit_cast<uint64_t>(cost) & 0x7fffffffu));
    };
    struct Case {
        RoadGraph graph;
        std::vector<uint32_t> chosen;
        CellOfCost cellOf;
    };
    std::vector<Case> cases;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        const RandomRoads roads(seed, seed % 2 == 0 ? RoadCost::Time : RoadCost::Distance);
        cases.push_back({roads.graph, roads.chosen, seed % 3 == 0 ? bits : whole});
        std::vector<uint32_t> all(81);
        std::iota(all.begin(), all.end(), 0u);
        std::shuffle(all.begin(), all.end(), std::mt19937(seed));
        cases.push_back({tiedLattice(seed), all, seed % 3 == 0 ? bits : fifths});
    }
    int knifeEdges = 0;
    for (const Case& test : cases) {
        const std::vector<double> expected = plainCosts(test.graph, test.chosen);
        for (const double cost : expected) {
            knifeEdges += fifths(cost * (1 - 1e-15)) != fifths(cost * (1 + 1e-15)) ? 1 : 0;
        }
        // No room for a hierarchy leaves every row to the plain search.
        for (const auto& [workers, maxArcs] :
             {std::pair{1u, MaxHierarchyArcs}, std::pair{2u, MaxHierarchyArcs},
              std::pair{2u, 0ul}}) {
            setWorkerCount(workers);
            SilentProgress progress;
            const std::vector<double> costs =
                hierarchyCosts(test.graph, test.chosen, test.cellOf, progress, maxArcs);
            for (std::size_t cell = 0; cell < expected.size(); ++cell) {
                ASSERT_EQ(std::isinf(costs[cell]), std::isinf(expected[cell])) << cell;
                ASSERT_EQ(test.cellOf(costs[cell]), test.cellOf(expected[cell]))
                    << workers << " workers, cell " << cell << ": " << costs[cell] << " against "
                    << expected[cell];
            }
        }
        setWorkerCount(0);
    }
    EXPECT_GT(knifeEdges, 100);
}

// The bar moves on while the hierarchy is built, then through the rows, never back, and
// ends full; with no room for a hierarchy the rows alone fill it.
TEST(RoadSearch, AHierarchysBarMovesWhileItIsBuiltAndEndsFull) {
    struct Bar : TaskProgress {
        void stage(const std::string&, long long) override {}
        void advance() override {
            const std::lock_guard<std::mutex> hold(lock);
            shown.push_back(shown.back() + 1);
        }
        void advanceTo(long long done) override {
            const std::lock_guard<std::mutex> hold(lock);
            shown.push_back(done);
        }
        bool cancelled() const override { return false; }
        std::mutex lock;
        std::vector<long long> shown{0};
    };
    std::vector<uint32_t> all(81);
    std::iota(all.begin(), all.end(), 0u);
    const CellOfCost whole = [](double cost) { return roundToCell(cost); };
    for (const auto& [workers, maxArcs] :
         {std::pair{1u, MaxHierarchyArcs}, std::pair{2u, MaxHierarchyArcs}, std::pair{2u, 0ul}}) {
        setWorkerCount(workers);
        Bar bar;
        hierarchyCosts(tiedLattice(3), all, whole, bar, maxArcs);
        EXPECT_TRUE(std::is_sorted(bar.shown.begin(), bar.shown.end())) << workers;
        EXPECT_EQ(bar.shown.back(), 81);
        EXPECT_TRUE(std::any_of(bar.shown.begin(), bar.shown.end(),
                                [](long long done) { return done > 0 && done <= 40; }));
    }
    setWorkerCount(0);
}

}  // namespace
