#include "roads/RoadMatrix.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "roads/RoadError.h"
#include "roads/RoadExtract.h"
#include "roads/RoadGeometry.h"
#include "roads/RoadNodeIndex.h"
#include "roads/RoadTable.h"
#include "store/DataStore.h"
#include "store/DistanceMetrics.h"

namespace {

std::string metresText(double value, const NumberSeparators& separators) {
    return formatNumber(value, 1, separators) + " metres";
}

void checkPlaces(const std::vector<RoadPlace>& places, const NumberSeparators& separators) {
    for (std::size_t i = 0; i < places.size(); ++i) {
        const RoadPlace& place = places[i];
        const bool onGlobe = place.longitude >= -180 && place.longitude <= 180 &&
                             place.latitude >= -90 && place.latitude <= 90;
        if (!onGlobe) {
            const int node = static_cast<int>(i) + 1;
            throw RoadError("Node " + std::to_string(node) + " is at longitude (X) " +
                                formatShortest(place.longitude, separators.decimal) +
                                " and latitude (Y) " +
                                formatShortest(place.latitude, separators.decimal) +
                                ": a longitude must lie from -180 to 180 and a latitude from "
                                "-90 to 90",
                            node);
        }
    }
}

// The names of the other units of the unit's cost: the larger ones from the next up, or the
// smaller ones from the next down.
std::vector<std::string> otherUnitNames(RoadUnit unit, bool larger) {
    std::vector<RoadUnit> units = unitsOf(unitRow(unit).cost);
    if (!larger) {
        std::reverse(units.begin(), units.end());
    }
    std::vector<std::string> names;
    for (auto other = std::find(units.begin(), units.end(), unit) + 1; other != units.end();
         ++other) {
        names.emplace_back(unitName(*other));
    }
    return names;
}

std::string tooLargeMessage(int row, int column, const RoadSettings& settings) {
    const std::vector<std::string> larger = otherUnitNames(settings.unit, true);
    const std::string unit = unitName(settings.unit);
    const std::string advice =
        larger.empty() ? " even in " + unit : " in " + unit + ": choose " + listedNames(larger);
    return std::string("The ") + costRow(settings.cost).phrase + " from node " +
           std::to_string(row) + " to node " + std::to_string(column) +
           " is too large for the distance matrix" + advice;
}

// " (choose seconds)": the smaller units that would keep apart what rounds to 0, if any.
std::string smallerUnitAdvice(RoadUnit unit) {
    const std::vector<std::string> smaller = otherUnitNames(unit, false);
    return smaller.empty() ? std::string() : ": choose " + listedNames(smaller);
}

std::string allZeroMessage(const RoadSettings& settings) {
    return std::string("Every ") + costRow(settings.cost).phrase +
           " between nodes at different road nodes rounds to 0 " + unitName(settings.unit) +
           smallerUnitAdvice(settings.unit);
}

// Each node's road vertex, and the different road vertices in order of first use: the
// searches run between those, the cells are looked up through `rowOf`.
struct SnappedNodes {
    std::vector<uint32_t> vertices;
    std::vector<std::size_t> rowOf;  // for node i + 1, its vertex's place in `vertices`
};

SnappedNodes snapToRoads(const RoadGraph& graph, const std::vector<RoadPlace>& places,
                         const RoadSettings& settings, RoadSummary& summary) {
    const NumberSeparators& separators = settings.separators;
    const RoadNodeIndex roadNodes(graph);
    SnappedNodes snapped;
    std::vector<int32_t> distinctIndex(graph.vertexCount(), -1);
    for (std::size_t i = 0; i < places.size(); ++i) {
        const int node = static_cast<int>(i) + 1;
        const RoadSnap snap = roadNodes.nearest(places[i].longitude, places[i].latitude);
        if (settings.maxSnapMetres && snap.metres > *settings.maxSnapMetres) {
            throw RoadError("Node " + std::to_string(node) + " is " +
                                metresText(snap.metres, separators) + " from the nearest road " +
                                modeRow(settings.mode).roadsPhrase + ", farther than the " +
                                metresText(*settings.maxSnapMetres, separators) + " allowed",
                            node);
        }
        if (summary.longestSnapNode == 0 || snap.metres > summary.longestSnapMetres) {
            summary.longestSnapNode = node;
            summary.longestSnapMetres = snap.metres;
        }
        if (distinctIndex[snap.vertex] < 0) {
            distinctIndex[snap.vertex] = static_cast<int32_t>(snapped.vertices.size());
            snapped.vertices.push_back(snap.vertex);
        }
        snapped.rowOf.push_back(static_cast<std::size_t>(distinctIndex[snap.vertex]));
    }
    return snapped;
}

// The cells from the costs between the snapped vertices; throws for pairs no road joins
// (unless they have a value) and for cells beyond 32 bits, naming the first such pair, and
// for a unit in which every cost between different vertices rounds to 0.
void fillCells(RoadMatrix& matrix, const SnappedNodes& snapped, const std::vector<double>& costs,
               const CellOfCost& cellOf, const RoadSettings& settings) {
    const std::size_t n = snapped.rowOf.size();
    const std::size_t m = snapped.vertices.size();
    long long positiveCells = 0;
    RoadSummary& summary = matrix.summary;
    matrix.cells.assign(n * n, 0);
    std::optional<NodePair> firstUnreachable;
    std::optional<NodePair> firstTooLarge;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t a = snapped.rowOf[i];
        for (std::size_t j = 0; j < n; ++j) {
            const std::size_t b = snapped.rowOf[j];
            const NodePair pair{static_cast<int>(i) + 1, static_cast<int>(j) + 1};
            int32_t& cell = matrix.cells[i * n + j];
            const double cost = a == b ? 0.0 : costs[a * m + b];
            if (std::isinf(cost)) {
                ++summary.unreachableCells;
                if (!firstUnreachable) {
                    firstUnreachable = pair;
                }
                cell = settings.unreachableValue.value_or(0);
                continue;
            }
            const std::optional<int32_t> rounded = cellOf(cost);
            if (!rounded && !firstTooLarge) {
                firstTooLarge = pair;
            }
            cell = rounded.value_or(0);
            if (cost > 0) {
                ++positiveCells;
                summary.zeroCells += rounded == 0 ? 1 : 0;
            }
        }
    }
    if (firstUnreachable && !settings.unreachableValue) {
        throw RoadError(groupedInteger(summary.unreachableCells, settings.separators) +
                        " pairs of nodes are joined by no road " +
                        modeRow(settings.mode).roadsPhrase + "; the first is row " +
                        std::to_string(firstUnreachable->from) + ", column " +
                        std::to_string(firstUnreachable->to) + " (from node " +
                        std::to_string(firstUnreachable->from) + " to node " +
                        std::to_string(firstUnreachable->to) + ")");
    }
    if (firstTooLarge) {
        throw RoadError(tooLargeMessage(firstTooLarge->from, firstTooLarge->to, settings));
    }
    if (positiveCells > 0 && summary.zeroCells == positiveCells) {
        throw RoadError(allZeroMessage(settings));
    }
}

}  // namespace

std::vector<RoadPlace> nodePlaces(const TDataStore& store, int n) {
    std::vector<RoadPlace> places;
    places.reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 1; i <= n; ++i) {
        places.push_back({store.NodeTable[i].XCoord, store.NodeTable[i].YCoord});
    }
    return places;
}

RoadMatrix computeRoadMatrix(const std::string& roadMap, const std::vector<RoadPlace>& places,
                             const RoadSettings& settings, TaskProgress& progress,
                             RoadLinesWanted lines) {
    checkPlaces(places, settings.separators);
    const RoadGraph graph = readRoadGraph(roadMap, settings, progress);
    if (graph.vertexCount() == 0) {
        throw RoadError(std::string("The road map holds no roads ") +
                        modeRow(settings.mode).roadsPhrase);
    }

    RoadMatrix matrix;
    matrix.n = static_cast<int>(places.size());
    matrix.summary.nodes = matrix.n;
    matrix.summary.roadNodes = graph.vertexCount();
    matrix.summary.segments = graph.segments;
    if (lines == RoadLinesWanted::Yes) {
        matrix.roads = std::make_shared<const RoadLines>(roadLines(graph));
    }
    const SnappedNodes snapped = snapToRoads(graph, places, settings, matrix.summary);

    progress.stage("Computing road distances", static_cast<long long>(snapped.vertices.size()));
    const long double unitBase = unitRow(settings.unit).base;
    const CellOfCost cellOf = [unitBase](double cost) { return roundToCell(cost / unitBase); };
    fillCells(matrix, snapped, roadTable(graph, snapped.vertices, cellOf, progress), cellOf,
              settings);
    return matrix;
}

MatrixSource roadMatrixSource(const std::string& roadMap, const RoadSettings& settings) {
    MatrixSource source;
    source.kind = MatrixSource::Kind::RoadMap;
    source.metricCode = 'N';
    source.file = roadMap;
    source.mode = modeName(settings.mode);
    source.cost = costName(settings.cost);
    source.measure = costRow(settings.cost).measure;
    source.unit = unitName(settings.unit);
    return source;
}

void storeRoadMatrix(TDataStore& store, const RoadMatrix& matrix, const std::string& roadMap,
                     const RoadSettings& settings) {
    const auto n = static_cast<std::size_t>(matrix.n);
    for (int i = 1; i <= matrix.n; ++i) {
        DistanceRow& row = store.DistanceMatrix.create(i);
        for (int j = 1; j <= matrix.n; ++j) {
            row[j] =
                matrix.cells[static_cast<std::size_t>(i - 1) * n + static_cast<std::size_t>(j - 1)];
        }
    }
    store.Source = roadMatrixSource(roadMap, settings);
    store.Source.roads = matrix.roads;
}

std::string roadSummaryText(const RoadSummary& summary, const RoadSettings& settings) {
    const NumberSeparators& separators = settings.separators;
    std::string text =
        groupedInteger(summary.nodes, separators) + " nodes; " + costRow(settings.cost).phrase +
        " in " + unitName(settings.unit) + "; " +
        groupedInteger(static_cast<int64_t>(summary.roadNodes), separators) + " road nodes and " +
        groupedInteger(static_cast<int64_t>(summary.segments), separators) + " road segments " +
        modeRow(settings.mode).roadsPhrase + "; longest snap: node " +
        std::to_string(summary.longestSnapNode) + ", " +
        metresText(summary.longestSnapMetres, separators) +
        "; unreachable cells: " + groupedInteger(summary.unreachableCells, separators);
    if (summary.unreachableCells > 0 && settings.unreachableValue) {
        text += " (set to " + std::to_string(*settings.unreachableValue) + ")";
    }
    return text + "; cells rounded to 0: " + groupedInteger(summary.zeroCells, separators);
}

std::string zeroCellsWarning(const RoadSummary& summary, const RoadSettings& settings) {
    const bool one = summary.zeroCells == 1;
    return groupedInteger(summary.zeroCells, settings.separators) + (one ? " cell" : " cells") +
           " off the diagonal " + (one ? "rounds" : "round") + " to 0 " + unitName(settings.unit) +
           " though " + (one ? "its " : "their ") + costRow(settings.cost).phrase + " is above 0" +
           smallerUnitAdvice(settings.unit) + ".";
}
