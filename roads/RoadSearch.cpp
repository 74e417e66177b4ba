#include "roads/RoadSearch.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <numeric>

#include "platform/Workers.h"

namespace {

constexpr double Unreached = std::numeric_limits<double>::infinity();
constexpr int32_t NotChosen = -1;

struct HeapEntry {
    double cost;
    uint32_t vertex;
};

// A binary heap of the vertices reached but not yet settled, cheapest on top, that
// knows where each vertex sits so a cheaper way found lowers its entry instead of adding
// another.
class VertexHeap {
public:
    explicit VertexHeap(std::size_t vertices) : m_position(vertices) {}

    bool empty() const { return m_entries.empty(); }
    void clear() { m_entries.clear(); }
    std::size_t size() const { return m_entries.size(); }
    uint32_t vertexAt(std::size_t at) const { return m_entries[at].vertex; }

    void push(uint32_t vertex, double cost) {
        m_entries.push_back({cost, vertex});
        siftUp(m_entries.size() - 1);
    }
    // The vertex is in the heap at a higher cost.
    void lower(uint32_t vertex, double cost) {
        const std::size_t at = m_position[vertex];
        m_entries[at].cost = cost;
        siftUp(at);
    }
    HeapEntry pop() {
        const HeapEntry top = m_entries.front();
        const HeapEntry last = m_entries.back();
        m_entries.pop_back();
        if (!m_entries.empty()) {
            siftDown(last);
        }
        return top;
    }

private:
    void place(std::size_t at, const HeapEntry& entry) {
        m_entries[at] = entry;
        m_position[entry.vertex] = static_cast<uint32_t>(at);
    }
    void siftUp(std::size_t at) {
        const HeapEntry entry = m_entries[at];
        while (at > 0) {
            const std::size_t parent = (at - 1) / 2;
            if (!(entry.cost < m_entries[parent].cost)) {
                break;
            }
            place(at, m_entries[parent]);
            at = parent;
        }
        place(at, entry);
    }
    // Puts `entry` in the place of the removed top: the hole goes down along the smaller
    // children to the bottom, one comparison a level, and the entry rises from there; the
    // entry taken from the end nearly always belongs near the bottom anyway.
    void siftDown(const HeapEntry& entry) {
        const std::size_t size = m_entries.size();
        std::size_t at = 0;
        for (std::size_t child = 1; child < size; child = 2 * at + 1) {
            if (child + 1 < size && m_entries[child + 1].cost < m_entries[child].cost) {
                ++child;
            }
            place(at, m_entries[child]);
            at = child;
        }
        m_entries[at] = entry;
        siftUp(at);
    }

    std::vector<HeapEntry> m_entries;
    std::vector<uint32_t> m_position;
};

class Search {
public:
    Search(const ChainGraph& graph, const std::vector<int32_t>& chosenIndex, int32_t chosenCount)
        : m_graph(graph),
          m_chosenIndex(chosenIndex),
          m_chosenCount(chosenCount),
          m_cost(graph.vertexCount(), Unreached),
          m_heap(graph.vertexCount()) {}

    // Fills row[b] with the cost from `source` to the b-th chosen vertex. A vertex is in
    // the heap while its cost is finite and it is not settled; a settled vertex's cost
    // never shrinks again, since no segment is negative.
    void run(uint32_t source, double* row) {
        std::fill(m_cost.begin(), m_cost.end(), Unreached);
        m_heap.clear();
        m_cost[source] = 0;
        m_heap.push(source, 0);
        int32_t reached = 0;
        while (!m_heap.empty()) {
            const HeapEntry top = m_heap.pop();
            const uint32_t u = top.vertex;
            // The vertices settled next are most often the one now on top and its children:
            // their arcs are fetched from memory while this one's are followed.
            for (std::size_t at = 0; at < 3 && at < m_heap.size(); ++at) {
                const uint32_t next = m_heap.vertexAt(at);
                __builtin_prefetch(m_graph.arcs.data() + m_graph.firstArc[next]);
                __builtin_prefetch(m_chosenIndex.data() + next);
            }
            if (const int32_t chosen = m_chosenIndex[u]; chosen != NotChosen) {
                row[chosen] = top.cost;
                if (++reached == m_chosenCount) {
                    return;
                }
            }
            const ChainArc* arc = m_graph.arcs.data() + m_graph.firstArc[u];
            const ChainArc* const end = m_graph.arcs.data() + m_graph.firstArc[u + 1];
            const double* cost = m_graph.costs.data() + m_graph.firstCost[u];
            for (; arc != end; ++arc) {
                double& known = m_cost[arc->head];
                const double* const chainEnd = cost + arc->moreSegments;
                // Segment by segment, as a search through the inner vertices adds them. No
                // cost shrinks as segments are added, so once it reaches the known one
                // (at once, when the head is settled) the rest can be left.
                if (!(top.cost < known)) {
                    cost = chainEnd;
                    continue;
                }
                double reached = top.cost + arc->firstCost;
                while (reached < known && cost != chainEnd) {
                    reached += *cost++;
                }
                cost = chainEnd;
                if (reached < known) {
                    if (known == Unreached) {
                        m_heap.push(arc->head, reached);
                    } else {
                        m_heap.lower(arc->head, reached);
                    }
                    known = reached;
                }
            }
        }
    }

private:
    const ChainGraph& m_graph;
    const std::vector<int32_t>& m_chosenIndex;
    int32_t m_chosenCount;
    std::vector<double> m_cost;
    VertexHeap m_heap;
};

}  // namespace

void searchRows(const ChainGraph& graph, const std::vector<int>& rows, std::vector<double>& costs,
                TaskProgress& progress) {
    const auto m = static_cast<int32_t>(graph.chosen.size());
    std::vector<int32_t> chosenIndex(graph.vertexCount(), NotChosen);
    for (int32_t b = 0; b < m; ++b) {
        chosenIndex[graph.chosen[static_cast<std::size_t>(b)]] = b;
    }
    const int count = static_cast<int>(rows.size());
    // One search's working arrays per worker, set up when the worker first needs them.
    std::vector<std::unique_ptr<Search>> searches(workersFor(0, count - 1, 1));
    forEachBlockByWorker(0, count - 1, 1, [&](unsigned worker, int begin, int end) {
        std::unique_ptr<Search>& search = searches[worker];
        if (!search) {
            search = std::make_unique<Search>(graph, chosenIndex, m);
        }
        for (int k = begin; k <= end; ++k) {
            progress.checkCancelled();
            const auto a = static_cast<std::size_t>(rows[static_cast<std::size_t>(k)]);
            double* const row = costs.data() + a * static_cast<std::size_t>(m);
            std::fill(row, row + m, Unreached);
            search->run(graph.chosen[a], row);
            progress.advance();
        }
    });
}

std::vector<double> leastCosts(const RoadGraph& roads, const std::vector<uint32_t>& vertices,
                               TaskProgress& progress) {
    const ChainGraph graph = buildChainGraph(roads, vertices);
    progress.checkCancelled();
    std::vector<int> rows(vertices.size());
    std::iota(rows.begin(), rows.end(), 0);
    std::vector<double> costs(vertices.size() * vertices.size());
    searchRows(graph, rows, costs, progress);
    return costs;
}
