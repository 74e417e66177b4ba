#include "roads/RoadTable.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <new>
#include <numeric>

#include "roads/ChainGraph.h"
#include "roads/HierarchyTable.h"
#include "roads/RoadHierarchy.h"
#include "roads/RoadSearch.h"

namespace {

// Building a hierarchy costs about as much as 90 plain searches on a lattice, and 30 on
// streets with shape nodes (see the road figures in the README); below this many vertices
// the plain searches are never much slower.
constexpr std::size_t HierarchyFromVertices = 200;

// Advances nobody: the plain searches that settle rows after the hierarchy's table are no
// steps of their own.
class CancelOnly : public TaskProgress {
public:
    explicit CancelOnly(const TaskProgress& progress) : m_progress(progress) {}
    void stage(const std::string&, long long) override {}
    void advance() override {}
    void advanceTo(long long) override {}
    bool cancelled() const override { return m_progress.cancelled(); }

private:
    const TaskProgress& m_progress;
};

// Shows a part of the work as the steps first..last of the stage under way, its own `steps`
// spread evenly over them, never going back whichever worker tells first.
class ShareOfStage : public TaskProgress {
public:
    ShareOfStage(TaskProgress& stage, long long first, long long last, long long steps)
        : m_stage(stage),
          m_first(first),
          m_last(last),
          m_steps(std::max(steps, 1LL)),
          m_shown(first) {}
    void stage(const std::string&, long long) override {}
    void advance() override { advanceTo(m_done.fetch_add(1) + 1); }
    void advanceTo(long long done) override {
        const long long shown = m_first + (m_last - m_first) * std::min(done, m_steps) / m_steps;
        if (shown <= m_shown.load()) {
            return;
        }
        const std::lock_guard<std::mutex> hold(m_lock);
        if (shown > m_shown.load()) {
            m_shown.store(shown);
            m_stage.advanceTo(shown);
        }
    }
    bool cancelled() const override { return m_stage.cancelled(); }

private:
    TaskProgress& m_stage;
    const long long m_first;
    const long long m_last;
    const long long m_steps;
    std::atomic<long long> m_done{0};
    std::atomic<long long> m_shown;
    std::mutex m_lock;
};

// Any sum of costs that are not negative, k of them above 0, in any order, lies within a
// factor (1 +- (k - 1) u / (1 - (k - 1) u)) of the exact sum, u = 2^-53: adding a 0 is exact.
// A cheapest way has fewer segments than the graph has vertices, and one costing C has at
// most C / (the least segment above 0) of them. The hierarchy's cost and the plain search's
// therefore both lie within `of(cost)` of the exact least cost, with room for the products
// that apply it and for the exact cost exceeding the one found.
class RelativeMargin {
public:
    explicit RelativeMargin(const RoadGraph& roads)
        : m_vertices(static_cast<double>(roads.vertexCount())) {
        for (const RoadArc& arc : roads.arcs) {
            if (arc.cost > 0) {
                m_leastSegment = std::min(m_leastSegment, arc.cost);
            }
        }
    }

    double of(double cost) const {
        const double segments =
            std::min(m_vertices, std::ceil(cost * (1 + 1e-9) / m_leastSegment) + 2);
        return 4.0 * (segments + 4.0) * std::ldexp(1.0, -53);
    }

private:
    double m_vertices;
    double m_leastSegment = std::numeric_limits<double>::infinity();
};

// The rows holding a cost that might make another cell than the plain search's.
std::vector<int> unsettledRows(const std::vector<double>& costs, std::size_t m,
                               const RelativeMargin& margin, const CellOfCost& cellOf) {
    std::vector<int> rows;
    for (std::size_t a = 0; a < m; ++a) {
        for (std::size_t b = 0; b < m; ++b) {
            const double cost = costs[a * m + b];
            if (std::isfinite(cost) && cost > 0 &&
                cellOf(cost * (1 - margin.of(cost))) != cellOf(cost * (1 + margin.of(cost)))) {
                rows.push_back(static_cast<int>(a));
                break;
            }
        }
    }
    return rows;
}

}  // namespace

std::vector<double> roadTable(const RoadGraph& graph, const std::vector<uint32_t>& vertices,
                              const CellOfCost& cellOf, TaskProgress& progress) {
    if (vertices.size() < HierarchyFromVertices) {
        return leastCosts(graph, vertices, progress);
    }
    return hierarchyCosts(graph, vertices, cellOf, progress);
}

std::vector<double> hierarchyCosts(const RoadGraph& roads, const std::vector<uint32_t>& vertices,
                                   const CellOfCost& cellOf, TaskProgress& progress,
                                   std::size_t maxArcs) {
    const ChainGraph graph = buildChainGraph(roads, vertices);
    progress.checkCancelled();
    // On a network with few chains to leave out, building the hierarchy takes several times
    // as long as its table: the stage's steps go half to each.
    const auto steps = static_cast<long long>(vertices.size());
    std::optional<RoadHierarchy> hierarchy;
    try {
        ShareOfStage building(progress, 0, steps / 2, BuildingSteps);
        hierarchy = buildRoadHierarchy(graph, roads, maxArcs, building);
    } catch (const std::bad_alloc&) {
        // The plain searches need a tenth of the memory, and the matrix is the same.
    }
    if (!hierarchy) {
        progress.advanceTo(0);
        std::vector<int> rows(vertices.size());
        std::iota(rows.begin(), rows.end(), 0);
        std::vector<double> costs(vertices.size() * vertices.size());
        searchRows(graph, rows, costs, progress);
        return costs;
    }
    ShareOfStage table(progress, steps / 2, steps, steps);
    std::vector<double> costs = tableThrough(*hierarchy, graph.chosen, table);
    CancelOnly quietly(progress);
    searchRows(graph, unsettledRows(costs, vertices.size(), RelativeMargin(roads), cellOf), costs,
               quietly);
    return costs;
}
