#include "roads/HierarchyTable.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <numeric>

#include "platform/Workers.h"
#include "roads/CostPair.h"

namespace {

constexpr double Unreached = std::numeric_limits<double>::infinity();

// A vertex reached by a climbing search, with the cost of getting there.
struct Reached {
    uint32_t level;
    double cost;
};

// The two searches from one chosen vertex: climbing the arcs out of it, and the arcs into
// it.
struct Climbs {
    std::vector<Reached> up;
    std::vector<Reached> down;
};

// One per worker, its arrays kept between searches.
class ClimbingSearch {
public:
    explicit ClimbingSearch(std::size_t vertices)
        : m_cost(vertices, ArcCost{Unreached, Unreached}) {}

    // The vertices both searches from `start` reach at their least cost. Every vertex a climb
    // can reach lies on the line of the start's lowest neighbours above, one after another, so
    // following that line in rising level settles each before its arcs are followed; a vertex
    // that a more important one reaches more cheaply is on no cheapest way and is left out.
    // The two climb the same line, so they go together, an arc's two costs at once.
    void run(const RoadHierarchy& hierarchy, uint32_t start, Climbs& climbs) {
        for (uint32_t v : m_line) {
            m_cost[v] = {Unreached, Unreached};
        }
        m_line.clear();
        m_cost[start] = {0, 0};
        for (uint32_t v = start;;) {
            m_line.push_back(v);
            const uint32_t first = hierarchy.firstArc[v];
            const uint32_t end = hierarchy.firstArc[v + 1];
            if (m_cost[v].up != Unreached || m_cost[v].down != Unreached) {
                const CostPair cost = pairOf(m_cost[v]);
                for (uint32_t a = first; a < end; ++a) {
                    ArcCost& known = m_cost[hierarchy.head[a]];
                    store(known, least(cost + pairOf(hierarchy.cost[a]), pairOf(known)));
                }
            }
            if (first == end) {
                break;
            }
            v = hierarchy.head[first];
        }
        climbs.up.clear();
        climbs.down.clear();
        for (uint32_t v : m_line) {
            const Stalled stalled = stalledAt(hierarchy, v);
            if (m_cost[v].up != Unreached && !stalled.up) {
                climbs.up.push_back({v, m_cost[v].up});
            }
            if (m_cost[v].down != Unreached && !stalled.down) {
                climbs.down.push_back({v, m_cost[v].down});
            }
        }
    }

private:
    struct Stalled {
        bool up = false;
        bool down = false;
    };

    // Whether a more important vertex reaches `v` more cheaply, by an arc the other way.
    Stalled stalledAt(const RoadHierarchy& hierarchy, uint32_t v) const {
        Stalled stalled;
        for (uint32_t a = hierarchy.firstArc[v]; a < hierarchy.firstArc[v + 1]; ++a) {
            const ArcCost& above = m_cost[hierarchy.head[a]];
            stalled.up = stalled.up || above.up + hierarchy.cost[a].down < m_cost[v].up;
            stalled.down = stalled.down || above.down + hierarchy.cost[a].up < m_cost[v].down;
            if (stalled.up && stalled.down) {
                break;
            }
        }
        return stalled;
    }

    std::vector<ArcCost> m_cost;
    std::vector<uint32_t> m_line;
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

// The climbs into each target, let go as they are put in buckets.
Buckets fillBuckets(std::size_t vertices, std::vector<Climbs>& climbs) {
    Buckets buckets;
    buckets.firstEntry.assign(vertices + 1, 0);
    for (const Climbs& target : climbs) {
        for (const Reached& at : target.down) {
            ++buckets.firstEntry[at.level + 1];
        }
    }
    std::partial_sum(buckets.firstEntry.begin(), buckets.firstEntry.end(),
                     buckets.firstEntry.begin());
    buckets.target.resize(buckets.firstEntry.back());
    buckets.cost.resize(buckets.firstEntry.back());
    std::vector<uint32_t> next(buckets.firstEntry.begin(), buckets.firstEntry.end() - 1);
    for (std::size_t target = 0; target < climbs.size(); ++target) {
        for (const Reached& at : climbs[target].down) {
            const uint32_t entry = next[at.level]++;
            buckets.target[entry] = static_cast<uint32_t>(target);
            buckets.cost[entry] = at.cost;
        }
        std::vector<Reached>().swap(climbs[target].down);
    }
    return buckets;
}

}  // namespace

std::vector<double> tableThrough(const RoadHierarchy& hierarchy,
                                 const std::vector<uint32_t>& vertices, TaskProgress& progress) {
    const std::size_t m = vertices.size();
    std::vector<Climbs> climbs(m);
    {
        SearchesPerWorker searches(hierarchy.levelOf.size());
        forEachBlockByWorker(
            0, static_cast<int>(m) - 1, 8, [&](unsigned worker, int begin, int end) {
                for (int k = begin; k <= end; ++k) {
                    progress.checkCancelled();
                    const auto chosen = static_cast<std::size_t>(k);
                    searches.of(worker).run(hierarchy, hierarchy.levelOf[vertices[chosen]],
                                            climbs[chosen]);
                }
            });
    }
    const Buckets buckets = fillBuckets(hierarchy.levelOf.size(), climbs);
    std::vector<double> costs(m * m, Unreached);
    forEachBlock(0, static_cast<int>(m) - 1, 1, [&](int begin, int end) {
        for (int a = begin; a <= end; ++a) {
            progress.checkCancelled();
            const auto source = static_cast<std::size_t>(a);
            double* const row = costs.data() + source * m;
            for (const Reached& at : climbs[source].up) {
                for (uint32_t e = buckets.firstEntry[at.level];
                     e < buckets.firstEntry[at.level + 1]; ++e) {
                    double& cell = row[buckets.target[e]];
                    cell = std::min(cell, at.cost + buckets.cost[e]);
                }
            }
            std::vector<Reached>().swap(climbs[source].up);
            progress.advance();
        }
    });
    return costs;
}
