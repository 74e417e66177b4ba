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

// The two searches from one chosen vertex: climbing the arcs out of it, and the arcs into
// it.
struct Climbs {
    std::vector<Reached> up;
    std::vector<Reached> down;
};

// The searches from this many chosen vertices climb together, each arc they follow read
// once for all of them; one lane each, two lanes to an instruction.
constexpr std::size_t ClimbsTogether = 4;
static_assert(ClimbsTogether % 2 == 0);
constexpr std::size_t LanePairs = ClimbsTogether / 2;
typedef double Two __attribute__((vector_size(16)));
typedef long long TwoFlags __attribute__((vector_size(16)));

struct Lanes {
    Two pair[LanePairs];

    double operator[](std::size_t lane) const { return pair[lane / 2][lane % 2]; }
    void set(std::size_t lane, double cost) { pair[lane / 2][lane % 2] = cost; }
};

struct LaneFlags {
    TwoFlags pair[LanePairs]{};

    bool operator[](std::size_t lane) const { return pair[lane / 2][lane % 2] != 0; }
};

// Each lane of `known` lowered to that of `at` plus `arc` where that is less.
inline void lower(Lanes& known, const Lanes& at, double arc) {
    for (std::size_t k = 0; k < LanePairs; ++k) {
        const Two way = at.pair[k] + arc;
        known.pair[k] = way < known.pair[k] ? way : known.pair[k];
    }
}

// Marks the lanes where `above` plus `arc` is less than `at`.
inline void markLess(LaneFlags& flags, const Lanes& above, double arc, const Lanes& at) {
    for (std::size_t k = 0; k < LanePairs; ++k) {
        flags.pair[k] |= above.pair[k] + arc < at.pair[k];
    }
}

struct LaneCosts {
    Lanes up;
    Lanes down;
};

bool anyReached(const LaneCosts& costs) {
    for (std::size_t lane = 0; lane < ClimbsTogether; ++lane) {
        if (costs.up[lane] != Unreached || costs.down[lane] != Unreached) {
            return true;
        }
    }
    return false;
}

// One per worker, its arrays kept between searches.
class ClimbingSearch {
public:
    explicit ClimbingSearch(std::size_t vertices) : m_slot(vertices), m_seenIn(vertices, 0) {}

    // The vertices the searches from `starts` (at most ClimbsTogether) reach at their least
    // cost, both ways, into climbs[k] for starts[k]. Every vertex a climb can reach lies on
    // the line of the start's lowest neighbours above, one after another, so following the
    // lines in rising level settles each before its arcs are followed; a vertex off a start's
    // line stays unreached in its lane. A vertex that a more important one reaches more
    // cheaply is on no cheapest way and is left out.
    void run(const RoadHierarchy& hierarchy, const std::vector<uint32_t>& starts,
             const std::vector<Climbs*>& climbs) {
        takeLines(hierarchy, starts);
        Lanes none;
        for (Two& pair : none.pair) {
            pair = Two{Unreached, Unreached};
        }
        m_cost.assign(m_line.size(), {none, none});
        for (std::size_t lane = 0; lane < starts.size(); ++lane) {
            LaneCosts& start = m_cost[m_slot[starts[lane]]];
            start.up.set(lane, 0);
            start.down.set(lane, 0);
        }
        for (std::size_t slot = 0; slot < m_line.size(); ++slot) {
            const LaneCosts at = m_cost[slot];
            if (!anyReached(at)) {
                continue;
            }
            const uint32_t v = m_line[slot];
            for (uint32_t a = hierarchy.firstArc[v]; a < hierarchy.firstArc[v + 1]; ++a) {
                LaneCosts& known = m_cost[m_slot[hierarchy.head[a]]];
                const ArcCost& arc = hierarchy.cost[a];
                lower(known.up, at.up, arc.up);
                lower(known.down, at.down, arc.down);
            }
        }
        for (Climbs* climb : climbs) {
            climb->up.clear();
            climb->down.clear();
        }
        for (std::size_t slot = 0; slot < m_line.size(); ++slot) {
            const LaneCosts& at = m_cost[slot];
            if (!anyReached(at)) {
                continue;
            }
            const uint32_t v = m_line[slot];
            const auto [upStalled, downStalled] = stalledAt(hierarchy, v, at);
            for (std::size_t lane = 0; lane < starts.size(); ++lane) {
                if (at.up[lane] != Unreached && !upStalled[lane]) {
                    climbs[lane]->up.push_back({v, at.up[lane]});
                }
                if (at.down[lane] != Unreached && !downStalled[lane]) {
                    climbs[lane]->down.push_back({v, at.down[lane]});
                }
            }
        }
    }

private:
    // The union of the starts' lines in rising level, each vertex's place in it in m_slot.
    void takeLines(const RoadHierarchy& hierarchy, const std::vector<uint32_t>& starts) {
        ++m_turn;
        m_line.clear();
        for (const uint32_t start : starts) {
            for (uint32_t v = start; m_seenIn[v] != m_turn;) {
                m_seenIn[v] = m_turn;
                m_line.push_back(v);
                if (hierarchy.firstArc[v] == hierarchy.firstArc[v + 1]) {
                    break;
                }
                v = hierarchy.head[hierarchy.firstArc[v]];
            }
        }
        std::sort(m_line.begin(), m_line.end());
        for (std::size_t slot = 0; slot < m_line.size(); ++slot) {
            m_slot[m_line[slot]] = static_cast<uint32_t>(slot);
        }
    }

    // In which lanes a more important vertex reaches `v` more cheaply, by an arc the other
    // way.
    std::pair<LaneFlags, LaneFlags> stalledAt(const RoadHierarchy& hierarchy, uint32_t v,
                                              const LaneCosts& at) const {
        LaneFlags up;
        LaneFlags down;
        for (uint32_t a = hierarchy.firstArc[v]; a < hierarchy.firstArc[v + 1]; ++a) {
            const LaneCosts& above = m_cost[m_slot[hierarchy.head[a]]];
            const ArcCost& arc = hierarchy.cost[a];
            markLess(up, above.up, arc.down, at.up);
            markLess(down, above.down, arc.up, at.down);
        }
        return {up, down};
    }

    std::vector<uint32_t> m_slot;
    std::vector<uint32_t> m_seenIn;
    uint32_t m_turn = 0;
    std::vector<uint32_t> m_line;
    std::vector<LaneCosts> m_cost;
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
        // Neighbouring starts share most of their lines.
        std::vector<std::size_t> byLevel(m);
        std::iota(byLevel.begin(), byLevel.end(), std::size_t{0});
        std::sort(byLevel.begin(), byLevel.end(), [&](std::size_t a, std::size_t b) {
            return hierarchy.levelOf[vertices[a]] < hierarchy.levelOf[vertices[b]];
        });
        const auto groups = static_cast<int>((m + ClimbsTogether - 1) / ClimbsTogether);
        SearchesPerWorker searches(hierarchy.levelOf.size());
        forEachBlockByWorker(0, groups - 1, 2, [&](unsigned worker, int begin, int end) {
            std::vector<uint32_t> starts;
            std::vector<Climbs*> into;
            for (int group = begin; group <= end; ++group) {
                progress.checkCancelled();
                starts.clear();
                into.clear();
                const std::size_t first = static_cast<std::size_t>(group) * ClimbsTogether;
                for (std::size_t k = first; k < std::min(first + ClimbsTogether, m); ++k) {
                    starts.push_back(hierarchy.levelOf[vertices[byLevel[k]]]);
                    into.push_back(&climbs[byLevel[k]]);
                }
                searches.of(worker).run(hierarchy, starts, into);
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
