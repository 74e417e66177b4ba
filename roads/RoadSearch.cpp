#include "roads/RoadSearch.h"

#include <algorithm>
#include <limits>

#include "platform/Workers.h"

namespace {

constexpr double Unreached = std::numeric_limits<double>::infinity();
constexpr int32_t NotChosen = -1;
// Sources per block: each block sets up its own working arrays once.
constexpr int SourcesPerBlock = 4;

struct HeapEntry {
    double metres;
    uint32_t vertex;
};

// Smallest length on top.
bool later(const HeapEntry& a, const HeapEntry& b) {
    return a.metres > b.metres;
}

class Search {
public:
    Search(const RoadGraph& graph, const std::vector<int32_t>& chosenIndex, int32_t chosenCount)
        : m_graph(graph),
          m_chosenIndex(chosenIndex),
          m_chosenCount(chosenCount),
          m_metres(graph.vertexCount(), Unreached) {}

    // Fills row[b] with the length from `source` to the b-th chosen vertex.
    void run(uint32_t source, double* row) {
        std::fill(m_metres.begin(), m_metres.end(), Unreached);
        m_heap.clear();
        m_metres[source] = 0;
        m_heap.push_back({0, source});
        int32_t reached = 0;
        while (!m_heap.empty()) {
            std::pop_heap(m_heap.begin(), m_heap.end(), later);
            const HeapEntry top = m_heap.back();
            m_heap.pop_back();
            const uint32_t u = top.vertex;
            // An entry left behind by a shorter way found later.
            if (top.metres != m_metres[u]) {
                continue;
            }
            if (const int32_t chosen = m_chosenIndex[u]; chosen != NotChosen) {
                row[chosen] = top.metres;
                if (++reached == m_chosenCount) {
                    return;
                }
            }
            const RoadArc* arc = m_graph.arcs.data() + m_graph.firstArc[u];
            const RoadArc* const end = m_graph.arcs.data() + m_graph.firstArc[u + 1];
            for (; arc != end; ++arc) {
                const double metres = top.metres + arc->metres;
                if (metres < m_metres[arc->head]) {
                    m_metres[arc->head] = metres;
                    m_heap.push_back({metres, arc->head});
                    std::push_heap(m_heap.begin(), m_heap.end(), later);
                }
            }
        }
    }

private:
    const RoadGraph& m_graph;
    const std::vector<int32_t>& m_chosenIndex;
    int32_t m_chosenCount;
    std::vector<double> m_metres;
    std::vector<HeapEntry> m_heap;
};

}  // namespace

std::vector<double> shortestLengths(const RoadGraph& graph, const std::vector<uint32_t>& vertices,
                                    TaskProgress& progress) {
    const auto m = static_cast<int32_t>(vertices.size());
    std::vector<int32_t> chosenIndex(graph.vertexCount(), NotChosen);
    for (int32_t b = 0; b < m; ++b) {
        chosenIndex[vertices[static_cast<std::size_t>(b)]] = b;
    }
    std::vector<double> lengths(static_cast<std::size_t>(m) * static_cast<std::size_t>(m),
                                Unreached);
    forEachBlock(0, m - 1, SourcesPerBlock, [&](int begin, int end) {
        Search search(graph, chosenIndex, m);
        for (int a = begin; a <= end; ++a) {
            progress.checkCancelled();
            search.run(vertices[static_cast<std::size_t>(a)],
                       lengths.data() + static_cast<std::size_t>(a) * static_cast<std::size_t>(m));
            progress.advance();
        }
    });
    return lengths;
}
