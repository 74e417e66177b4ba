#include "roads/DissectionOrder.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

namespace {

// Parts this small are ordered as they come: their vertices touch few others anyway.
constexpr std::size_t SmallPart = 4;
// The parts after this many cuts are handed out to the workers: enough for two or four
// workers to finish together.
constexpr int CutsBeforeParts = 3;

class Dissector {
public:
    Dissector(const ChainGraph& graph, const RoadGraph& roads)
        : m_rank(graph.vertexCount()), m_side(graph.vertexCount(), 0) {
        const std::size_t vertices = graph.vertexCount();
        double middleLatitude = 0;
        for (uint32_t v = 0; v < vertices; ++v) {
            middleLatitude += roads.latitudes[graph.roadVertex[v]];
        }
        middleLatitude /= static_cast<double>(std::max<std::size_t>(vertices, 1));
        // East-west to the scale of north-south, so that the wider side is cut.
        const double eastWestScale = std::cos(middleLatitude * std::numbers::pi / 180);
        m_x.resize(vertices);
        m_y.resize(vertices);
        for (uint32_t v = 0; v < vertices; ++v) {
            m_x[v] = roads.longitudes[graph.roadVertex[v]] * eastWestScale;
            m_y[v] = roads.latitudes[graph.roadVertex[v]];
        }
        linkBothWays(graph);
    }

    Dissection run() {
        std::vector<uint32_t> all(m_rank.size());
        for (uint32_t v = 0; v < all.size(); ++v) {
            all[v] = v;
        }
        dissect(all, 0);
        return {std::move(m_rank), std::move(m_parts)};
    }

private:
    void linkBothWays(const ChainGraph& graph) {
        const std::size_t vertices = graph.vertexCount();
        m_first.assign(vertices + 1, 0);
        for (uint32_t v = 0; v < vertices; ++v) {
            for (uint32_t a = graph.firstArc[v]; a < graph.firstArc[v + 1]; ++a) {
                ++m_first[v + 1];
                ++m_first[graph.arcs[a].head + 1];
            }
        }
        for (std::size_t v = 0; v < vertices; ++v) {
            m_first[v + 1] += m_first[v];
        }
        m_neighbours.resize(m_first.back());
        std::vector<uint32_t> next(m_first.begin(), m_first.end() - 1);
        for (uint32_t v = 0; v < vertices; ++v) {
            for (uint32_t a = graph.firstArc[v]; a < graph.firstArc[v + 1]; ++a) {
                const uint32_t w = graph.arcs[a].head;
                m_neighbours[next[v]++] = w;
                m_neighbours[next[w]++] = v;
            }
        }
    }

    void dissect(std::span<uint32_t> part, int cuts) {
        if (cuts == CutsBeforeParts) {
            const uint32_t first = m_next;
            dissect(part, cuts + 1);
            m_parts.push_back({first, m_next});
            return;
        }
        if (part.size() <= SmallPart) {
            for (uint32_t v : part) {
                m_rank[v] = m_next++;
            }
            return;
        }
        const std::vector<double>& across = wider(part) ? m_x : m_y;
        const std::size_t middle = part.size() / 2;
        std::nth_element(part.begin(), part.begin() + static_cast<std::ptrdiff_t>(middle),
                         part.end(), [&](uint32_t a, uint32_t b) { return across[a] < across[b]; });
        const std::span<uint32_t> low = part.first(middle);
        const std::span<uint32_t> high = part.subspan(middle);
        const uint32_t lowSide = ++m_sides;
        const uint32_t highSide = ++m_sides;
        for (uint32_t v : low) {
            m_side[v] = lowSide;
        }
        for (uint32_t v : high) {
            m_side[v] = highSide;
        }
        // The vertices with a road across the cut, on the side that has fewer, go last.
        const std::size_t lowRim = moveRimLast(low, highSide);
        const std::size_t highRim = rimCount(high, lowSide);
        std::span<uint32_t> rim;
        std::span<uint32_t> lowInside = low.first(low.size() - lowRim);
        std::span<uint32_t> highInside = high;
        if (highRim < lowRim) {
            lowInside = low;
            moveRimLast(high, lowSide);
            highInside = high.first(high.size() - highRim);
            rim = high.last(highRim);
        } else {
            rim = low.last(lowRim);
        }
        std::vector<uint32_t> cut(rim.begin(), rim.end());
        const std::vector<double>& along = &across == &m_x ? m_y : m_x;
        std::sort(cut.begin(), cut.end(),
                  [&](uint32_t a, uint32_t b) { return along[a] < along[b]; });
        dissect(lowInside, cuts + 1);
        dissect(highInside, cuts + 1);
        orderCut(cut);
    }

    bool wider(std::span<const uint32_t> part) const {
        const auto [west, east] = std::minmax_element(
            part.begin(), part.end(), [&](uint32_t a, uint32_t b) { return m_x[a] < m_x[b]; });
        const auto [south, north] = std::minmax_element(
            part.begin(), part.end(), [&](uint32_t a, uint32_t b) { return m_y[a] < m_y[b]; });
        return m_x[*east] - m_x[*west] >= m_y[*north] - m_y[*south];
    }

    bool onRim(uint32_t v, uint32_t otherSide) const {
        for (uint32_t k = m_first[v]; k < m_first[v + 1]; ++k) {
            if (m_side[m_neighbours[k]] == otherSide) {
                return true;
            }
        }
        return false;
    }

    std::size_t rimCount(std::span<const uint32_t> side, uint32_t otherSide) const {
        return static_cast<std::size_t>(std::count_if(
            side.begin(), side.end(), [&](uint32_t v) { return onRim(v, otherSide); }));
    }

    std::size_t moveRimLast(std::span<uint32_t> side, uint32_t otherSide) const {
        const auto rim = std::stable_partition(side.begin(), side.end(),
                                               [&](uint32_t v) { return !onRim(v, otherSide); });
        return static_cast<std::size_t>(side.end() - rim);
    }

    // A cut is itself a line: its middle vertex last, each half ordered the same way before.
    void orderCut(std::span<const uint32_t> line) {
        if (line.empty()) {
            return;
        }
        const std::size_t middle = line.size() / 2;
        orderCut(line.first(middle));
        orderCut(line.subspan(middle + 1));
        m_rank[line[middle]] = m_next++;
    }

    std::vector<uint32_t> m_rank;
    std::vector<LevelRange> m_parts;
    std::vector<uint32_t> m_side;
    uint32_t m_sides = 0;
    uint32_t m_next = 0;
    std::vector<double> m_x;
    std::vector<double> m_y;
    std::vector<uint32_t> m_first;
    std::vector<uint32_t> m_neighbours;
};

}  // namespace

Dissection dissectionOrder(const ChainGraph& graph, const RoadGraph& roads) {
    return Dissector(graph, roads).run();
}
