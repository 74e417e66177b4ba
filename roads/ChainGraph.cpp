#include "roads/ChainGraph.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

constexpr uint32_t NotCore = std::numeric_limits<uint32_t>::max();

// The different vertices each vertex shares a segment with, whichever way it may be
// travelled: those of vertex v from first[v] to first[v + 1].
struct Neighbours {
    std::vector<uint32_t> first;
    std::vector<uint32_t> vertices;
};

Neighbours neighboursOf(const RoadGraph& graph) {
    const std::size_t n = graph.vertexCount();
    std::vector<uint32_t> start(n + 1, 0);
    for (uint32_t u = 0; u < n; ++u) {
        for (uint32_t a = graph.firstArc[u]; a < graph.firstArc[u + 1]; ++a) {
            ++start[u + 1];
            ++start[graph.arcs[a].head + 1];
        }
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    Neighbours result;
    result.vertices.resize(start.back());
    std::vector<uint32_t> next(start.begin(), start.end() - 1);
    for (uint32_t u = 0; u < n; ++u) {
        for (uint32_t a = graph.firstArc[u]; a < graph.firstArc[u + 1]; ++a) {
            const uint32_t head = graph.arcs[a].head;
            result.vertices[next[u]++] = head;
            result.vertices[next[head]++] = u;
        }
    }
    // Each list sorted without repeats, the lists moved together.
    result.first.assign(n + 1, 0);
    auto kept = result.vertices.begin();
    for (std::size_t v = 0; v < n; ++v) {
        const auto begin = result.vertices.begin() + start[v];
        const auto end = result.vertices.begin() + start[v + 1];
        std::sort(begin, end);
        kept = std::copy(begin, std::unique(begin, end), kept);
        result.first[v + 1] = static_cast<uint32_t>(kept - result.vertices.begin());
    }
    result.vertices.erase(kept, result.vertices.end());
    return result;
}

class ChainBuilder {
public:
    ChainBuilder(const RoadGraph& graph, const std::vector<uint32_t>& chosen)
        : m_graph(graph),
          m_chosenVertices(chosen),
          m_neighbours(neighboursOf(graph)),
          m_chosen(graph.vertexCount(), false),
          m_alive(graph.vertexCount(), true),
          m_degree(graph.vertexCount()),
          m_core(graph.vertexCount(), NotCore) {
        for (uint32_t v : chosen) {
            m_chosen[v] = true;
        }
        leaveOutDeadEnds();
        numberCore();
    }

    ChainGraph build() const {
        ChainGraph result;
        for (uint32_t v = 0; v < m_graph.vertexCount(); ++v) {
            if (m_core[v] == NotCore) {
                continue;
            }
            result.roadVertex.push_back(v);
            result.firstCost.push_back(static_cast<uint32_t>(result.costs.size()));
            for (uint32_t a = m_graph.firstArc[v]; a < m_graph.firstArc[v + 1]; ++a) {
                addChain(v, m_graph.arcs[a], result);
            }
            result.firstArc.push_back(static_cast<uint32_t>(result.arcs.size()));
        }
        for (uint32_t v : m_chosenVertices) {
            result.chosen.push_back(m_core[v]);
        }
        return result;
    }

private:
    uint32_t neighbourCount(uint32_t v) const {
        return m_neighbours.first[v + 1] - m_neighbours.first[v];
    }

    // A vertex not chosen that touches at most one other is no inner vertex of any way
    // without repeats between chosen vertices; taking it away may leave its neighbour so.
    void leaveOutDeadEnds() {
        std::vector<uint32_t> leaving;
        for (uint32_t v = 0; v < m_graph.vertexCount(); ++v) {
            m_degree[v] = neighbourCount(v);
            if (!m_chosen[v] && m_degree[v] < 2) {
                m_alive[v] = false;
                leaving.push_back(v);
            }
        }
        while (!leaving.empty()) {
            const uint32_t v = leaving.back();
            leaving.pop_back();
            for (uint32_t k = m_neighbours.first[v]; k < m_neighbours.first[v + 1]; ++k) {
                const uint32_t w = m_neighbours.vertices[k];
                if (m_alive[w] && --m_degree[w] < 2 && !m_chosen[w]) {
                    m_alive[w] = false;
                    leaving.push_back(w);
                }
            }
        }
    }

    void numberCore() {
        uint32_t count = 0;
        for (uint32_t v = 0; v < m_graph.vertexCount(); ++v) {
            if (m_alive[v] && (m_chosen[v] || m_degree[v] != 2)) {
                m_core[v] = count++;
            }
        }
    }

    // The neighbour of an inner vertex that is not `previous`.
    uint32_t onwardFrom(uint32_t v, uint32_t previous) const {
        for (uint32_t k = m_neighbours.first[v];; ++k) {
            const uint32_t w = m_neighbours.vertices[k];
            if (m_alive[w] && w != previous) {
                return w;
            }
        }
    }

    // The cheapest segment from `tail` to `head`, or none when it may not be travelled.
    const RoadArc* segment(uint32_t tail, uint32_t head) const {
        const RoadArc* best = nullptr;
        for (uint32_t a = m_graph.firstArc[tail]; a < m_graph.firstArc[tail + 1]; ++a) {
            const RoadArc& arc = m_graph.arcs[a];
            if (arc.head == head && (!best || arc.cost < best->cost)) {
                best = &arc;
            }
        }
        return best;
    }

    // Follows the road from core vertex `start` along `first` through inner vertices to the
    // next core vertex; a road that may not be travelled on, or that comes back, adds nothing.
    void addChain(uint32_t start, const RoadArc& first, ChainGraph& result) const {
        if (!m_alive[first.head]) {
            return;
        }
        const std::size_t begin = result.costs.size();
        uint32_t previous = start;
        uint32_t at = first.head;
        while (m_core[at] == NotCore) {
            const uint32_t onward = onwardFrom(at, previous);
            const RoadArc* arc = segment(at, onward);
            if (!arc) {
                result.costs.resize(begin);
                return;
            }
            result.costs.push_back(arc->cost);
            previous = at;
            at = onward;
        }
        if (at == start) {
            result.costs.resize(begin);
            return;
        }
        result.arcs.push_back(
            {m_core[at], static_cast<uint32_t>(result.costs.size() - begin), first.cost});
    }

    const RoadGraph& m_graph;
    const std::vector<uint32_t>& m_chosenVertices;
    Neighbours m_neighbours;
    std::vector<bool> m_chosen;
    std::vector<bool> m_alive;
    std::vector<uint32_t> m_degree;
    std::vector<uint32_t> m_core;
};

}  // namespace

ChainGraph buildChainGraph(const RoadGraph& graph, const std::vector<uint32_t>& chosen) {
    return ChainBuilder(graph, chosen).build();
}
