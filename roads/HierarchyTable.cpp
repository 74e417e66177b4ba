#include "roads/HierarchyTable.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <numeric>

#include "platform/Workers.h"

namespace {

constexpr double Unreached = std::numeric_limits<double>::infinity();

// A vertex reached by a climbing search, with the cost of getting there.
struct Reached {
    uint32_t level;
    double cost;
};

// The costs of the arcs a search climbs, and of the same arcs the other way, by which a
// more important vertex reaches the one it is at.
struct Direction {
    const RoadHierarchy& hierarchy;
    const HierarchyArray<double>& climb;
    const HierarchyArray<double>& stall;
};

// One per worker, its arrays kept between searches.
class ClimbingSearch {
public:
    explicit ClimbingSearch(std::size_t vertices) : m_cost(vertices, Unreached) {}

    // The vertices the search from `start` reaches at their least cost. Every vertex a climb
    // can reach lies on the line of the start's lowest neighbours above, one after another, so
    // following that line in rising level settles each before its arcs are followed; a vertex
    // that a more important one reaches more cheaply is on no cheapest way and is left out.
    const std::vector<Reached>& run(const Direction& direction, uint32_t start) {
        const RoadHierarchy& hierarchy = direction.hierarchy;
        for (uint32_t v : m_line) {
            m_cost[v] = Unreached;
        }
        m_line.clear();
        m_settled.clear();
        m_cost[start] = 0;
        for (uint32_t v = start;;) {
            m_line.push_back(v);
            const uint32_t first = hierarchy.firstArc[v];
            const uint32_t end = hierarchy.firstArc[v + 1];
            if (const double cost = m_cost[v]; cost != Unreached) {
                for (uint32_t a = first; a < end; ++a) {
                    double& known = m_cost[hierarchy.head[a]];
                    known = std::min(known, cost + direction.climb[a]);
                }
            }
            if (first == end) {
                break;
            }
            v = hierarchy.head[first];
        }
        for (uint32_t v : m_line) {
            if (m_cost[v] != Unreached && !stalled(direction, v)) {
                m_settled.push_back({v, m_cost[v]});
            }
        }
        return m_settled;
    }

private:
    bool stalled(const Direction& direction, uint32_t v) const {
        const RoadHierarchy& hierarchy = direction.hierarchy;
        for (uint32_t a = hierarchy.firstArc[v]; a < hierarchy.firstArc[v + 1]; ++a) {
            if (m_cost[hierarchy.head[a]] + direction.stall[a] < m_cost[v]) {
                return true;
            }
        }
        return false;
    }

    std::vector<double> m_cost;
    std::vector<uint32_t> m_line;
    std::vector<Reached> m_settled;
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
    const Direction down{hierarchy, hierarchy.downCost, hierarchy.upCost};
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
    const Direction up{hierarchy, hierarchy.upCost, hierarchy.downCost};
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
