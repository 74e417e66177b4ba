#include "roads/RoadTable.h"

#include <cmath>

#include "roads/ChainGraph.h"
#include "roads/HierarchyTable.h"
#include "roads/RoadHierarchy.h"
#include "roads/RoadSearch.h"

namespace {

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

// Any sum of k >= 1 costs that are not negative, in any order, lies within a factor
// (1 +- (k - 1) u / (1 - (k - 1) u)) of the exact sum, u = 2^-53, and a cheapest way has
// fewer segments than the graph has vertices. The hierarchy's cost and the plain search's
// therefore both lie within `margin` of the exact least cost, with room for the products
// that apply it.
double relativeMargin(std::size_t roadVertices) {
    return 4.0 * (static_cast<double>(roadVertices) + 4.0) * std::ldexp(1.0, -53);
}

// The rows holding a cost that might make another cell than the plain search's.
std::vector<int> unsettledRows(const std::vector<double>& costs, std::size_t m, double margin,
                               const CellOfCost& cellOf) {
    std::vector<int> rows;
    for (std::size_t a = 0; a < m; ++a) {
        for (std::size_t b = 0; b < m; ++b) {
            const double cost = costs[a * m + b];
            if (std::isfinite(cost) && cost > 0 &&
                cellOf(cost * (1 - margin)) != cellOf(cost * (1 + margin))) {
                rows.push_back(static_cast<int>(a));
                break;
            }
        }
    }
    return rows;
}

}  // namespace

std::vector<double> hierarchyCosts(const RoadGraph& roads, const std::vector<uint32_t>& vertices,
                                   const CellOfCost& cellOf, TaskProgress& progress) {
    const ChainGraph graph = buildChainGraph(roads, vertices);
    progress.checkCancelled();
    const RoadHierarchy hierarchy = buildRoadHierarchy(graph, progress);
    std::vector<double> costs = tableThrough(hierarchy, graph.chosen, progress);
    CancelOnly quietly(progress);
    searchRows(graph,
               unsettledRows(costs, vertices.size(), relativeMargin(roads.vertexCount()), cellOf),
               costs, quietly);
    return costs;
}
