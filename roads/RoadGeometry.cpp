#include "roads/RoadGeometry.h"

#include <algorithm>
#include <utility>

namespace {

struct Edge {
    uint32_t a;
    uint32_t b;

    uint32_t otherEnd(uint32_t v) const { return v == a ? b : a; }
    bool operator<(const Edge& other) const {
        return std::pair(a, b) < std::pair(other.a, other.b);
    }
    bool operator==(const Edge&) const = default;
};

// Each pair of joined vertices once, whichever arcs join them.
std::vector<Edge> undirectedEdges(const RoadGraph& graph) {
    std::vector<Edge> edges;
    edges.reserve(graph.arcs.size());
    for (uint32_t v = 0; v < graph.vertexCount(); ++v) {
        for (uint32_t k = graph.firstArc[v]; k < graph.firstArc[v + 1]; ++k) {
            const uint32_t w = graph.arcs[k].head;
            if (w != v) {
                edges.push_back({std::min(v, w), std::max(v, w)});
            }
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    return edges;
}

class LineWalker {
public:
    LineWalker(const RoadGraph& graph, RoadLines& lines)
        : m_graph(graph), m_lines(lines), m_edges(undirectedEdges(graph)) {
        m_first.assign(graph.vertexCount() + 1, 0);
        for (const Edge& edge : m_edges) {
            ++m_first[edge.a + 1];
            ++m_first[edge.b + 1];
        }
        for (std::size_t v = 1; v < m_first.size(); ++v) {
            m_first[v] += m_first[v - 1];
        }
        m_incident.resize(2 * m_edges.size());
        std::vector<uint32_t> next(m_first.begin(), m_first.end() - 1);
        for (uint32_t e = 0; e < m_edges.size(); ++e) {
            m_incident[next[m_edges[e].a]++] = e;
            m_incident[next[m_edges[e].b]++] = e;
        }
        m_used.assign(m_edges.size(), false);
    }

    void walkAll() {
        for (uint32_t v = 0; v < m_graph.vertexCount(); ++v) {
            if (degree(v) != 2) {
                walkFrom(v);
            }
        }
        // What is left are rings of vertices that only pass roads through.
        for (const Edge& edge : m_edges) {
            walkFrom(edge.a);
        }
    }

private:
    uint32_t degree(uint32_t v) const { return m_first[v + 1] - m_first[v]; }

    void walkFrom(uint32_t start) {
        for (uint32_t k = m_first[start]; k < m_first[start + 1]; ++k) {
            if (!m_used[m_incident[k]]) {
                walk(start, m_incident[k]);
            }
        }
    }

    void walk(uint32_t start, uint32_t edge) {
        place(start);
        uint32_t v = start;
        while (true) {
            m_used[edge] = true;
            v = m_edges[edge].otherEnd(v);
            place(v);
            if (degree(v) != 2) {
                break;
            }
            const uint32_t k = m_first[v];
            edge = m_incident[k] == edge ? m_incident[k + 1] : m_incident[k];
            // Back where a ring started.
            if (m_used[edge]) {
                break;
            }
        }
        m_lines.starts.push_back(m_lines.places.size());
    }

    void place(uint32_t v) {
        m_lines.places.push_back({m_graph.longitudes[v], m_graph.latitudes[v]});
    }

    const RoadGraph& m_graph;
    RoadLines& m_lines;
    std::vector<Edge> m_edges;
    std::vector<uint32_t> m_first;     // one more than there are vertices
    std::vector<uint32_t> m_incident;  // the edges of vertex v from m_first[v]
    std::vector<bool> m_used;
};

}  // namespace

RoadLines roadLines(const RoadGraph& graph) {
    RoadLines lines;
    LineWalker(graph, lines).walkAll();
    return lines;
}
