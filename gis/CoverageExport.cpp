#include "gis/CoverageExport.h"

#include "platform/RunTimeError.h"
#include "report/ReportText.h"

namespace {

// The nearest other node within the coverage of demand node i, the smaller node on a tie.
void findNearest(const TDataStore& store, const CoverageReport& report, int i, CoverageNode& node) {
    const DistanceRow& row = store.DistanceMatrix[i];
    for (int k = 1; k <= report.nodes; ++k) {
        const int32_t distance = row[k];
        if (k != i && distance <= report.coverage &&
            (!node.nearestDistance || distance < *node.nearestDistance)) {
            node.nearestNode = k;
            node.nearestDistance = distance;
        }
    }
}

}  // namespace

CoverageLayers coverageLayers(const TDataStore& store, const CoverageReport& report,
                              char metricCode, bool onTheGlobe,
                              std::optional<std::vector<std::vector<LonLat>>> roads) {
    CoverageLayers layers;
    layers.wgs84 = onTheGlobe;
    layers.roads = std::move(roads);
    // The file reads the same whatever the locale it was written under.
    const CoverageSummary summary = summarizeCoverageReport(report, computedSource(metricCode), {});
    layers.description =
        "Coverage distance: " + summary.coverage + ". Weighted demand: " + summary.demand + ".";
    for (int i = 1; i <= report.nodes; ++i) {
        const NodeRecord& record = store.NodeTable[i];
        CoverageNode node;
        node.node = i;
        node.demandNode = i <= report.demandNodes;
        node.x = record.XCoord;
        node.y = record.YCoord;
        if (node.demandNode) {
            const std::size_t slot = static_cast<std::size_t>(i - 1);
            if (record.Demand) {
                node.demand1 = record.Demand->set1;
                node.demand2 = record.Demand->set2;
            }
            if (report.demand) {
                node.weightedDemand = report.demand->ofNode.at(slot);
            }
            node.covered = report.nodesWithinCoverage.at(slot) > 0;
            findNearest(store, report, i, node);
        }
        layers.nodes.push_back(std::move(node));
    }
    return layers;
}

std::string coverageGeoPackage(GisLayers& gis, const CoverageLayers& layers) {
    try {
        return gis.coverageGeoPackage(layers);
    } catch (const RunTimeError&) {
        throw;
    } catch (const std::exception& error) {
        throw RunTimeError(std::string("Cannot make the GeoPackage: ") + error.what());
    }
}
