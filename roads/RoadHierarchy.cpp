#include "roads/RoadHierarchy.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <queue>
#include <tuple>
#include <utility>

#include "platform/Workers.h"

namespace {

struct CostArc {
    uint32_t tail;
    uint32_t head;
    double cost;
};

// Each chain one arc, its segments added in order.
std::vector<CostArc> costArcs(const ChainGraph& graph) {
    std::vector<CostArc> arcs;
    arcs.reserve(graph.arcs.size());
    for (uint32_t v = 0; v < graph.vertexCount(); ++v) {
        const double* cost = graph.costs.data() + graph.firstCost[v];
        for (uint32_t a = graph.firstArc[v]; a < graph.firstArc[v + 1]; ++a) {
            const ChainArc& arc = graph.arcs[a];
            double sum = arc.firstCost;
            for (uint32_t k = 0; k < arc.moreSegments; ++k) {
                sum += *cost++;
            }
            arcs.push_back({v, arc.head, sum});
        }
    }
    return arcs;
}

constexpr double Unreached = std::numeric_limits<double>::infinity();
constexpr uint32_t NotYet = std::numeric_limits<uint32_t>::max();

// A search for ways around a vertex gives up after settling this many vertices: a shortcut
// it could have spared then stays, which costs the table a little time, never a wrong cost.
// Estimating a vertex's importance needs less.
constexpr int ContractionSettleLimit = 200;
constexpr int EstimateSettleLimit = 30;

struct Edge {
    uint32_t other;
    double cost;
};

// The graph as it stands while vertices are taken out: the arcs leaving each vertex and
// those coming into it, between vertices still in.
struct Remaining {
    std::vector<std::vector<Edge>> out;
    std::vector<std::vector<Edge>> in;
};

// Of two arcs between the same vertices only the cheaper is worth keeping.
void addOrLower(std::vector<Edge>& edges, uint32_t other, double cost) {
    for (Edge& edge : edges) {
        if (edge.other == other) {
            edge.cost = std::min(edge.cost, cost);
            return;
        }
    }
    edges.push_back({other, cost});
}

void removeEdgeTo(std::vector<Edge>& edges, uint32_t other) {
    const auto at = std::find_if(edges.begin(), edges.end(),
                                 [other](const Edge& edge) { return edge.other == other; });
    *at = edges.back();
    edges.pop_back();
}

struct Shortcut {
    uint32_t tail;
    uint32_t head;
    double cost;
};

// Looks for ways around a vertex, its arrays kept between searches.
class WitnessSearch {
public:
    explicit WitnessSearch(std::size_t vertices)
        : m_cost(vertices, Unreached), m_target(vertices, 0) {}

    // The shortcuts that taking `vertex` out needs: from each vertex with an arc into it to
    // each with an arc out of it, unless a way that avoids it costs no more.
    void shortcutsAround(const Remaining& graph, uint32_t vertex, int settleLimit,
                         std::vector<Shortcut>& shortcuts) {
        const std::vector<Edge>& out = graph.out[vertex];
        for (const Edge& in : graph.in[vertex]) {
            double farthest = 0;
            int targets = 0;
            for (const Edge& edge : out) {
                if (edge.other != in.other) {
                    farthest = std::max(farthest, in.cost + edge.cost);
                    targets += m_target[edge.other] == 0 ? 1 : 0;
                    m_target[edge.other] = 1;
                }
            }
            search(graph, in.other, vertex, farthest, targets, settleLimit);
            for (const Edge& edge : out) {
                m_target[edge.other] = 0;
                const double through = in.cost + edge.cost;
                if (edge.other != in.other && !(m_cost[edge.other] <= through)) {
                    shortcuts.push_back({in.other, edge.other, through});
                }
            }
        }
    }

private:
    // Dijkstra's from `source`, never through `avoided`, until every target is settled, the
    // costs pass `bound`, or `settleLimit` vertices are settled.
    void search(const Remaining& graph, uint32_t source, uint32_t avoided, double bound,
                int targets, int settleLimit) {
        for (uint32_t v : m_touched) {
            m_cost[v] = Unreached;
        }
        m_touched.clear();
        m_open = {};
        m_cost[source] = 0;
        m_touched.push_back(source);
        m_open.push({0, source});
        int settled = 0;
        while (targets > 0 && settled < settleLimit && !m_open.empty()) {
            const auto [cost, u] = m_open.top();
            m_open.pop();
            if (cost > bound) {
                return;
            }
            if (cost > m_cost[u]) {
                continue;
            }
            ++settled;
            targets -= m_target[u];
            for (const Edge& edge : graph.out[u]) {
                const uint32_t w = edge.other;
                const double through = cost + edge.cost;
                if (w != avoided && through < m_cost[w]) {
                    if (m_cost[w] == Unreached) {
                        m_touched.push_back(w);
                    }
                    m_cost[w] = through;
                    m_open.push({through, w});
                }
            }
        }
    }

    using Entry = std::pair<double, uint32_t>;
    std::vector<double> m_cost;
    std::vector<uint8_t> m_target;
    std::vector<uint32_t> m_touched;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> m_open;
};

class Contraction {
public:
    Contraction(std::size_t vertices, const std::vector<CostArc>& arcs)
        : m_priority(vertices, 0), m_takenNeighbours(vertices, 0), m_level(vertices, NotYet) {
        m_graph.out.resize(vertices);
        m_graph.in.resize(vertices);
        for (const CostArc& arc : arcs) {
            if (arc.tail != arc.head) {
                addOrLower(m_graph.out[arc.tail], arc.head, arc.cost);
                addOrLower(m_graph.in[arc.head], arc.tail, arc.cost);
            }
        }
    }

    RoadHierarchy run(const TaskProgress& progress) {
        const auto vertices = static_cast<int>(m_level.size());
        std::vector<std::unique_ptr<WitnessSearch>> searches(workersFor(0, vertices - 1, Grain));
        forEachBlockByWorker(0, vertices - 1, Grain, [&](unsigned worker, int begin, int end) {
            if (!searches[worker]) {
                searches[worker] = std::make_unique<WitnessSearch>(m_level.size());
            }
            progress.checkCancelled();
            std::vector<Shortcut> shortcuts;
            for (int v = begin; v <= end; ++v) {
                estimate(*searches[worker], static_cast<uint32_t>(v), shortcuts);
            }
        });
        WitnessSearch& search = *searches.front();
        for (uint32_t v = 0; v < m_level.size(); ++v) {
            m_queue.push({m_priority[v], scattered(v), v});
        }
        while (!m_queue.empty()) {
            const auto [priority, key, v] = m_queue.top();
            m_queue.pop();
            if (m_level[v] != NotYet || priority != m_priority[v]) {
                continue;
            }
            // Its neighbours' going only raised its priority: what it now costs is learnt
            // when it comes up, and it waits if that puts it behind another.
            estimate(search, v, m_estimated);
            if (!m_queue.empty() && m_priority[v] > std::get<0>(m_queue.top())) {
                m_queue.push({m_priority[v], key, v});
                continue;
            }
            if ((m_taken & 4095) == 0) {
                progress.checkCancelled();
            }
            takeOut(search, v);
        }
        finish();
        return std::move(m_hierarchy);
    }

private:
    static constexpr int Grain = 4096;

    // Vertices of equal importance in an order spread over the map rather than along it, so
    // that the hierarchy grows evenly.
    static uint32_t scattered(uint32_t v) { return v * 2654435761u; }

    // The arcs taking the vertex out adds less those it takes away, and the neighbours taken
    // out before it.
    void estimate(WitnessSearch& search, uint32_t v, std::vector<Shortcut>& shortcuts) {
        shortcuts.clear();
        search.shortcutsAround(m_graph, v, EstimateSettleLimit, shortcuts);
        const auto removed = static_cast<int>(m_graph.out[v].size() + m_graph.in[v].size());
        m_priority[v] = static_cast<int>(shortcuts.size()) - removed + m_takenNeighbours[v];
    }

    void takeOut(WitnessSearch& search, uint32_t v) {
        m_shortcuts.clear();
        search.shortcutsAround(m_graph, v, ContractionSettleLimit, m_shortcuts);
        m_level[v] = m_taken++;
        m_neighbours.clear();
        for (const Edge& edge : m_graph.out[v]) {
            m_up.push_back(edge);
            removeEdgeTo(m_graph.in[edge.other], v);
            m_neighbours.push_back(edge.other);
        }
        m_hierarchy.firstUp.push_back(static_cast<uint32_t>(m_up.size()));
        for (const Edge& edge : m_graph.in[v]) {
            m_down.push_back(edge);
            removeEdgeTo(m_graph.out[edge.other], v);
            m_neighbours.push_back(edge.other);
        }
        m_hierarchy.firstDown.push_back(static_cast<uint32_t>(m_down.size()));
        std::vector<Edge>().swap(m_graph.out[v]);
        std::vector<Edge>().swap(m_graph.in[v]);
        for (const Shortcut& shortcut : m_shortcuts) {
            addOrLower(m_graph.out[shortcut.tail], shortcut.head, shortcut.cost);
            addOrLower(m_graph.in[shortcut.head], shortcut.tail, shortcut.cost);
        }
        std::sort(m_neighbours.begin(), m_neighbours.end());
        m_neighbours.erase(std::unique(m_neighbours.begin(), m_neighbours.end()),
                           m_neighbours.end());
        for (uint32_t w : m_neighbours) {
            ++m_takenNeighbours[w];
            m_queue.push({++m_priority[w], scattered(w), w});
        }
    }

    // The arcs named by level now that every vertex has one.
    void finish() {
        const auto levelled = [&](const std::vector<Edge>& edges) {
            std::vector<HierarchyArc> arcs;
            arcs.reserve(edges.size());
            for (const Edge& edge : edges) {
                arcs.push_back({m_level[edge.other], edge.cost});
            }
            return arcs;
        };
        m_hierarchy.up = levelled(m_up);
        m_hierarchy.down = levelled(m_down);
        m_hierarchy.levelOf = m_level;
    }

    Remaining m_graph;
    std::vector<int> m_priority;
    std::vector<int> m_takenNeighbours;
    std::vector<uint32_t> m_level;
    uint32_t m_taken = 0;
    using QueueEntry = std::tuple<int, uint32_t, uint32_t>;
    std::priority_queue<QueueEntry, std::vector<QueueEntry>, std::greater<>> m_queue;
    std::vector<Shortcut> m_shortcuts;
    std::vector<Shortcut> m_estimated;
    std::vector<uint32_t> m_neighbours;
    std::vector<Edge> m_up;
    std::vector<Edge> m_down;
    RoadHierarchy m_hierarchy;
};

}  // namespace

RoadHierarchy buildRoadHierarchy(const ChainGraph& graph, const TaskProgress& progress) {
    if (graph.vertexCount() == 0) {
        return {};
    }
    return Contraction(graph.vertexCount(), costArcs(graph)).run(progress);
}
