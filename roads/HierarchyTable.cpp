#include "roads/HierarchyTable.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <numeric>
#include <queue>

#include "platform/Workers.h"

namespace {

constexpr double Unreached = std::numeric_limits<double>::infinity();

// A vertex reached by a climbing search, with the cost of getting there.
struct Reached {
    uint32_t level;
    double cost;
};

// The arcs a search climbs, and those by which a more important vertex reaches the one it
// is at.
struct Direction {
    const std::vector<uint32_t>& firstArc;
    const std::vector<HierarchyArc>& arcs;
    const std::vector<uint32_t>& firstStall;
    const std::vector<HierarchyArc>& stall;
};

// One per worker, its arrays kept between searches.
class ClimbingSearch {
public:
    explicit ClimbingSearch(std::size_t vertices) : m_cost(vertices, Unreached) {}

    // The vertices the search from `start` settles without giving up on them.
    const std::vector<Reached>& run(const Direction& direction, uint32_t start) {
        for (uint32_t v : m_touched) {
            m_cost[v] = Unreached;
        }
        m_touched.clear();
        m_settled.clear();
        m_open = {};
        m_cost[start] = 0;
        m_touched.push_back(start);
        m_open.push({0, start});
        while (!m_open.empty()) {
            const auto [cost, v] = m_open.top();
            m_open.pop();
            if (cost > m_cost[v] || stalled(direction, v, cost)) {
                continue;
            }
            m_settled.push_back({v, cost});
            for (uint32_t a = direction.firstArc[v]; a < direction.firstArc[v + 1]; ++a) {
                const HierarchyArc& arc = direction.arcs[a];
                const double through = cost + arc.cost;
                if (through < m_cost[arc.level]) {
                    if (m_cost[arc.level] == Unreached) {
                        m_touched.push_back(arc.level);
                    }
                    m_cost[arc.level] = through;
                    m_open.push({through, arc.level});
                }
            }
        }
        return m_settled;
    }

private:
    // A more important vertex the search has reached leads here more cheaply: the way
    // through this vertex is no cheapest one.
    bool stalled(const Direction& direction, uint32_t v, double cost) const {
        for (uint32_t a = direction.firstStall[v]; a < direction.firstStall[v + 1]; ++a) {
            const HierarchyArc& arc = direction.stall[a];
            if (m_cost[arc.level] + arc.cost < cost) {
                return true;
            }
        }
        return false;
    }

    using Entry = std::pair<double, uint32_t>;
    std::vector<double> m_cost;
    std::vector<uint32_t> m_touched;
    std::vector<Reached> m_settled;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> m_open;
};

// The costs onward from each vertex to the chosen ones whose searches reached it: those at
// the vertex of level v from firstEntry[v] to firstEntry[v + 1].
struct Buckets {
    std::vector<uint32_t> firstEntry;
    std::vector<uint32_t> target;
    std::vector<double> cost;
};

class SearchesPerWorker {
public:
    explicit SearchesPerWorker(std::size_t vertices)
        : m_vertices(vertices), m_searches(workerCount()) {}

    ClimbingSearch& of(unsigned worker) {
        if (!m_searches[worker]) {
            m_searches[worker] = std::make_unique<ClimbingSearch>(m_vertices);
        }
        return *m_searches[worker];
    }

private:
    std::size_t m_vertices;
    std::vector<std::unique_ptr<ClimbingSearch>> m_searches;
};

Buckets fillBuckets(const RoadHierarchy& hierarchy, const std::vector<uint32_t>& vertices,
                    SearchesPerWorker& searches, const TaskProgress& progress) {
    const Direction down{hierarchy.firstDown, hierarchy.down, hierarchy.firstUp, hierarchy.up};
    const int m = static_cast<int>(vertices.size());
    std::vector<std::vector<Reached>> reached(vertices.size());
    forEachBlockByWorker(0, m - 1, 8, [&](unsigned worker, int begin, int end) {
        for (int b = begin; b <= end; ++b) {
            progress.checkCancelled();
            const auto target = static_cast<std::size_t>(b);
            reached[target] = searches.of(worker).run(down, hierarchy.levelOf[vertices[target]]);
        }
    });
    Buckets buckets;
    buckets.firstEntry.assign(hierarchy.levelOf.size() + 1, 0);
    for (const std::vector<Reached>& list : reached) {
        for (const Reached& at : list) {
            ++buckets.firstEntry[at.level + 1];
        }
    }
    std::partial_sum(buckets.firstEntry.begin(), buckets.firstEntry.end(),
                     buckets.firstEntry.begin());
    buckets.target.resize(buckets.firstEntry.back());
    buckets.cost.resize(buckets.firstEntry.back());
    std::vector<uint32_t> next(buckets.firstEntry.begin(), buckets.firstEntry.end() - 1);
    for (std::size_t target = 0; target < reached.size(); ++target) {
        for (const Reached& at : reached[target]) {
            const uint32_t entry = next[at.level]++;
            buckets.target[entry] = static_cast<uint32_t>(target);
            buckets.cost[entry] = at.cost;
        }
    }
    return buckets;
}

}  // namespace

std::vector<double> tableThrough(const RoadHierarchy& hierarchy,
                                 const std::vector<uint32_t>& vertices, TaskProgress& progress) {
    SearchesPerWorker searches(hierarchy.levelOf.size());
    const Buckets buckets = fillBuckets(hierarchy, vertices, searches, progress);
    const Direction up{hierarchy.firstUp, hierarchy.up, hierarchy.firstDown, hierarchy.down};
    const std::size_t m = vertices.size();
    std::vector<double> costs(m * m, Unreached);
    forEachBlockByWorker(0, static_cast<int>(m) - 1, 1, [&](unsigned worker, int begin, int end) {
        for (int a = begin; a <= end; ++a) {
            progress.checkCancelled();
            const auto source = static_cast<std::size_t>(a);
            double* const row = costs.data() + source * m;
            for (const Reached& at :
                 searches.of(worker).run(up, hierarchy.levelOf[vertices[source]])) {
                for (uint32_t e = buckets.firstEntry[at.level];
                     e < buckets.firstEntry[at.level + 1]; ++e) {
                    double& cell = row[buckets.target[e]];
                    cell = std::min(cell, at.cost + buckets.cost[e]);
                }
            }
            progress.advance();
        }
    });
    return costs;
}
