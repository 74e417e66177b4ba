#include "roads/RoadHierarchy.h"

#include <algorithm>
#include <limits>

#include "platform/Workers.h"
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

// Each chain one arc, its segments added in order.
void roadCosts(const ChainGraph& graph, RoadHierarchy& hierarchy) {
    hierarchy.upCost.assign(hierarchy.head.size(), Unreached);
    hierarchy.downCost.assign(hierarchy.head.size(), Unreached);
    for (uint32_t v = 0; v < graph.vertexCount(); ++v) {
        const double* cost = graph.costs.data() + graph.firstCost[v];
        for (uint32_t a = graph.firstArc[v]; a < graph.firstArc[v + 1]; ++a) {
            const ChainArc& arc = graph.arcs[a];
            double sum = arc.firstCost;
            for (uint32_t k = 0; k < arc.moreSegments; ++k) {
                sum += *cost++;
            }
            const uint32_t from = hierarchy.levelOf[v];
            const uint32_t to = hierarchy.levelOf[arc.head];
            if (from < to) {
                double& up = hierarchy.upCost[arcBetween(hierarchy, from, to)];
                up = std::min(up, sum);
            } else if (to < from) {
                double& down = hierarchy.downCost[arcBetween(hierarchy, to, from)];
                down = std::min(down, sum);
            }
        }
    }
}

// The ways through the vertex at level `low` from its neighbour above at arc `first` to each
// later one: they lower only arcs of that neighbour, so the neighbours of one vertex are
// worked through side by side.
void throughOne(RoadHierarchy& hierarchy, uint32_t low, uint32_t first) {
    const std::vector<uint32_t>& head = hierarchy.head;
    std::vector<double>& up = hierarchy.upCost;
    std::vector<double>& down = hierarchy.downCost;
    const uint32_t end = hierarchy.firstArc[low + 1];
    if (first + 1 == end) {
        return;
    }
    // Every other neighbour above the first is a neighbour of the first.
    const uint32_t above = head[first];
    auto joined = static_cast<uint32_t>(
        std::lower_bound(head.begin() + hierarchy.firstArc[above],
                         head.begin() + hierarchy.firstArc[above + 1], head[first + 1]) -
        head.begin());
    for (uint32_t second = first + 1; second < end; ++second) {
        while (head[joined] != head[second]) {
            ++joined;
        }
        up[joined] = std::min(up[joined], down[first] + up[second]);
        down[joined] = std::min(down[joined], down[second] + up[first]);
    }
}

// Lowest level first, the ways through each vertex between every two of its neighbours
// above it: by then the arcs to it have their least costs.
void throughCosts(RoadHierarchy& hierarchy, const TaskProgress& progress) {
    const auto levels = static_cast<uint32_t>(hierarchy.levelOf.size());
    for (uint32_t low = 0; low < levels; ++low) {
        if (low % CancelCheckEvery == 0) {
            progress.checkCancelled();
        }
        const auto begin = static_cast<int>(hierarchy.firstArc[low]);
        const auto end = static_cast<int>(hierarchy.firstArc[low + 1]);
        if (end - begin < SideBySideFrom) {
            for (int first = begin; first < end; ++first) {
                throughOne(hierarchy, low, static_cast<uint32_t>(first));
            }
            continue;
        }
        forEachBlock(begin, end - 1, 64, [&](int from, int to) {
            for (int first = from; first <= to; ++first) {
                throughOne(hierarchy, low, static_cast<uint32_t>(first));
            }
        });
    }
}

}  // namespace

std::optional<RoadHierarchy> buildRoadHierarchy(const ChainGraph& graph, const RoadGraph& roads,
                                                std::size_t maxArcs, const TaskProgress& progress) {
    RoadHierarchy hierarchy;
    hierarchy.levelOf = dissectionOrder(graph, roads);
    progress.checkCancelled();
    if (!joinArcs(graph, maxArcs, progress, hierarchy)) {
        return std::nullopt;
    }
    roadCosts(graph, hierarchy);
    throughCosts(hierarchy, progress);
    return hierarchy;
}
