#include "roads/RoadHierarchy.h"

#include <algorithm>
#include <atomic>
#include <limits>

#include "platform/Workers.h"
#include "roads/CostPair.h"
#include "roads/DissectionOrder.h"

namespace {

constexpr double Unreached = std::numeric_limits<double>::infinity();
constexpr uint32_t CancelCheckEvery = 4096;
// Below this many neighbours above, handing a vertex's ways to the workers costs more than
// it saves.
constexpr int SideBySideFrom = 700;

// The arcs alone: the neighbours of each vertex, by level, that remain when it is taken out.
// The least of them is the next to be taken out, and it inherits the others as neighbours.
bool joinArcs(const ChainGraph& graph, std::size_t maxArcs, const TaskProgress& progress,
              RoadHierarchy& hierarchy) {
    const std::vector<uint32_t>& levelOf = hierarchy.levelOf;
    std::vector<std::vector<uint32_t>> above(graph.vertexCount());
    for (uint32_t v = 0; v < graph.vertexCount(); ++v) {
        for (uint32_t a = graph.firstArc[v]; a < graph.firstArc[v + 1]; ++a) {
            const uint32_t from = levelOf[v];
            const uint32_t to = levelOf[graph.arcs[a].head];
            if (from != to) {
                above[std::min(from, to)].push_back(std::max(from, to));
            }
        }
    }
    for (uint32_t level = 0; level < above.size(); ++level) {
        if (level % CancelCheckEvery == 0) {
            progress.checkCancelled();
        }
        std::vector<uint32_t>& heads = above[level];
        std::sort(heads.begin(), heads.end());
        heads.erase(std::unique(heads.begin(), heads.end()), heads.end());
        if (hierarchy.head.size() + heads.size() > maxArcs) {
            return false;
        }
        hierarchy.head.insert(hierarchy.head.end(), heads.begin(), heads.end());
        hierarchy.firstArc.push_back(static_cast<uint32_t>(hierarchy.head.size()));
        if (!heads.empty()) {
            std::vector<uint32_t>& next = above[heads.front()];
            next.insert(next.end(), heads.begin() + 1, heads.end());
        }
        std::vector<uint32_t>().swap(heads);
    }
    return true;
}

// The arc from the vertex at level `low` up to the one at level `high`.
uint32_t arcBetween(const RoadHierarchy& hierarchy, uint32_t low, uint32_t high) {
    const auto begin = hierarchy.head.begin() + hierarchy.firstArc[low];
    const auto end = hierarchy.head.begin() + hierarchy.firstArc[low + 1];
    return static_cast<uint32_t>(std::lower_bound(begin, end, high) - hierarchy.head.begin());
}

// Each chain one arc, its segments added in order. An arc belongs to its lower end, and
// the workers share the arcs by it; fresh pages are cleared by whoever touches them first,
// so they share that too.
void roadCosts(const ChainGraph& graph, RoadHierarchy& hierarchy) {
    hierarchy.cost.resize(hierarchy.head.size());
    const auto levels = static_cast<uint64_t>(hierarchy.levelOf.size());
    const unsigned shares = workerCount();
    forEachBlock(0, static_cast<int>(shares) - 1, 1, [&](int begin, int end) {
        for (int share = begin; share <= end; ++share) {
            const auto lowest = static_cast<uint32_t>(levels * share / shares);
            const auto pastHighest = static_cast<uint32_t>(levels * (share + 1) / shares);
            std::fill(hierarchy.cost.begin() + hierarchy.firstArc[lowest],
                      hierarchy.cost.begin() + hierarchy.firstArc[pastHighest],
                      ArcCost{Unreached, Unreached});
            for (uint32_t v = 0; v < graph.vertexCount(); ++v) {
                const double* cost = graph.costs.data() + graph.firstCost[v];
                for (uint32_t a = graph.firstArc[v]; a < graph.firstArc[v + 1]; ++a) {
                    const ChainArc& arc = graph.arcs[a];
                    const uint32_t from = hierarchy.levelOf[v];
                    const uint32_t to = hierarchy.levelOf[arc.head];
                    const uint32_t owner = std::min(from, to);
                    if (from == to || owner < lowest || owner >= pastHighest) {
                        cost += arc.moreSegments;
                        continue;
                    }
                    double sum = arc.firstCost;
                    for (uint32_t k = 0; k < arc.moreSegments; ++k) {
                        sum += *cost++;
                    }
                    ArcCost& joined =
                        hierarchy.cost[arcBetween(hierarchy, owner, std::max(from, to))];
                    double& kept = from < to ? joined.up : joined.down;
                    kept = std::min(kept, sum);
                }
            }
        }
    });
}

// The ways from the neighbour above at arc `first`, down through a vertex and up again at
// each arc of `ways`, lower the arcs of that neighbour at `joined`, one to one.
void lowerBy(const ArcCost& first, const ArcCost* ways, ArcCost* joined, uint32_t count) {
    const CostPair through{first.down, first.up};
    for (uint32_t k = 0; k < count; ++k) {
        store(joined[k], least(pairOf(ways[k]) + through, pairOf(joined[k])));
    }
}

// The ways through the vertex at level `low` from its neighbour above at arc `first` to each
// later one: they lower only arcs of that neighbour, so the neighbours of one vertex are
// worked through side by side.
void throughOne(RoadHierarchy& hierarchy, uint32_t low, uint32_t first) {
    const HierarchyArray<uint32_t>& head = hierarchy.head;
    ArcCost* const cost = hierarchy.cost.data();
    const uint32_t end = hierarchy.firstArc[low + 1];
    if (first + 1 == end) {
        return;
    }
    // Every other neighbour above the first is a neighbour of the first.
    const uint32_t above = head[first];
    const uint32_t aboveEnd = hierarchy.firstArc[above + 1];
    auto joined = static_cast<uint32_t>(std::lower_bound(head.begin() + hierarchy.firstArc[above],
                                                         head.begin() + aboveEnd, head[first + 1]) -
                                        head.begin());
    // High in the hierarchy the two have the very same neighbours from some arc on.
    for (uint32_t second = first + 1; second < end; ++second) {
        if (aboveEnd - joined == end - second) {
            lowerBy(cost[first], cost + second, cost + joined, end - second);
            return;
        }
        while (head[joined] != head[second]) {
            ++joined;
        }
        lowerBy(cost[first], cost + second, cost + joined, 1);
        ++joined;
    }
}

// How far the ways through the vertices have come: they are most of the building, and a
// vertex has as many as there are pairs of its neighbours above. Each worker counts its own
// and hands them in now and then.
class WaysDone {
public:
    WaysDone(const RoadHierarchy& hierarchy, TaskProgress& progress) : m_progress(progress) {
        for (uint32_t low = 0; low + 1 < hierarchy.firstArc.size(); ++low) {
            m_all += through(hierarchy, low);
        }
        m_handInFrom = std::max<uint64_t>(1, m_all / BuildingSteps);
    }

    // The ways through a vertex from its neighbour above at `arc` to each later one.
    static uint64_t from(const RoadHierarchy& hierarchy, uint32_t low, uint32_t arc) {
        return hierarchy.firstArc[low + 1] - arc - 1;
    }
    // Those between every two of its neighbours above.
    static uint64_t through(const RoadHierarchy& hierarchy, uint32_t low) {
        const uint64_t neighbours = hierarchy.firstArc[low + 1] - hierarchy.firstArc[low];
        return neighbours < 2 ? 0 : neighbours * (neighbours - 1) / 2;
    }

    void add(uint64_t& mine, uint64_t ways) {
        mine += ways;
        if (mine >= m_handInFrom) {
            handIn(mine);
        }
    }

    void handIn(uint64_t& mine) {
        const uint64_t done = m_done.fetch_add(mine) + mine;
        mine = 0;
        m_progress.advanceTo(
            static_cast<long long>(done * BuildingSteps / std::max<uint64_t>(m_all, 1)));
    }

private:
    TaskProgress& m_progress;
    uint64_t m_all = 0;
    uint64_t m_handInFrom = 1;
    std::atomic<uint64_t> m_done{0};
};

// The ways through the vertex at level `low` from its neighbours above at arcs first..end-1.
void throughFrom(RoadHierarchy& hierarchy, uint32_t low, uint32_t first, uint32_t end,
                 const TaskProgress& progress) {
    if (low % CancelCheckEvery == 0) {
        progress.checkCancelled();
    }
    if (end - first < SideBySideFrom) {
        for (uint32_t arc = first; arc < end; ++arc) {
            throughOne(hierarchy, low, arc);
        }
        return;
    }
    forEachBlock(static_cast<int>(first), static_cast<int>(end) - 1, 64, [&](int from, int to) {
        for (int arc = from; arc <= to; ++arc) {
            throughOne(hierarchy, low, static_cast<uint32_t>(arc));
        }
    });
}

// Lowest level first, the ways through each vertex between every two of its neighbours
// above it: by then the arcs to it have their least costs. The ways that lower only arcs
// within one part of the map are found part by part on the workers, then those that lower
// arcs above the parts.
void throughCosts(RoadHierarchy& hierarchy, const std::vector<LevelRange>& parts,
                  TaskProgress& progress) {
    const HierarchyArray<uint32_t>& head = hierarchy.head;
    WaysDone ways(hierarchy, progress);
    const auto withinPart = [&](const LevelRange& part, uint32_t low) {
        const auto begin = head.begin() + hierarchy.firstArc[low];
        const auto end = head.begin() + hierarchy.firstArc[low + 1];
        return static_cast<uint32_t>(std::lower_bound(begin, end, part.end) - head.begin());
    };
    forEachBlock(0, static_cast<int>(parts.size()) - 1, 1, [&](int begin, int end) {
        uint64_t mine = 0;
        for (int k = begin; k <= end; ++k) {
            const LevelRange& part = parts[static_cast<std::size_t>(k)];
            for (uint32_t low = part.first; low < part.end; ++low) {
                const uint32_t pastPart = withinPart(part, low);
                for (uint32_t arc = hierarchy.firstArc[low]; arc < pastPart; ++arc) {
                    throughOne(hierarchy, low, arc);
                    ways.add(mine, WaysDone::from(hierarchy, low, arc));
                }
                if (low % CancelCheckEvery == 0) {
                    progress.checkCancelled();
                }
            }
        }
        ways.handIn(mine);
    });
    // Those ways read only arcs of the parts, now final, and each lowers an arc of the
    // neighbour it starts at: the workers share them by that neighbour.
    const unsigned shares = workerCount();
    forEachBlock(0, static_cast<int>(shares) - 1, 1, [&](int begin, int end) {
        uint64_t mine = 0;
        for (int share = begin; share <= end; ++share) {
            for (const LevelRange& part : parts) {
                progress.checkCancelled();
                for (uint32_t low = part.first; low < part.end; ++low) {
                    for (uint32_t arc = withinPart(part, low); arc < hierarchy.firstArc[low + 1];
                         ++arc) {
                        if (head[arc] % shares == static_cast<unsigned>(share)) {
                            throughOne(hierarchy, low, arc);
                            ways.add(mine, WaysDone::from(hierarchy, low, arc));
                        }
                    }
                }
            }
        }
        ways.handIn(mine);
    });
    std::vector<uint8_t> inPart(hierarchy.levelOf.size(), 0);
    for (const LevelRange& part : parts) {
        std::fill(inPart.begin() + part.first, inPart.begin() + part.end, 1);
    }
    uint64_t mine = 0;
    for (uint32_t low = 0; low < inPart.size(); ++low) {
        if (inPart[low] == 0) {
            throughFrom(hierarchy, low, hierarchy.firstArc[low], hierarchy.firstArc[low + 1],
                        progress);
            ways.add(mine, WaysDone::through(hierarchy, low));
        }
    }
    ways.handIn(mine);
}

}  // namespace

std::optional<RoadHierarchy> buildRoadHierarchy(const ChainGraph& graph, const RoadGraph& roads,
                                                std::size_t maxArcs, TaskProgress& progress) {
    Dissection dissection = dissectionOrder(graph, roads);
    RoadHierarchy hierarchy;
    hierarchy.levelOf = std::move(dissection.levelOf);
    progress.checkCancelled();
    if (!joinArcs(graph, maxArcs, progress, hierarchy)) {
        return std::nullopt;
    }
    roadCosts(graph, hierarchy);
    throughCosts(hierarchy, dissection.parts, progress);
    progress.advanceTo(BuildingSteps);
    return hierarchy;
}
