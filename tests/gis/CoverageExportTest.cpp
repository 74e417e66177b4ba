#include "gis/CoverageExport.h"

#include <gtest/gtest.h>

#include "gis/gdal/GdalLayers.h"
#include "report/WeightedDemand.h"
#include "tests/support/GisTestLayers.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMatrices.h"

namespace {

// Demand nodes 1..3 and candidate site 4 at coverage 5, worked out by hand: node 1 has 2 and 3
// at 4, the nearest being the smaller; node 2 has 1 at 4 and 4 at 5; node 3 has nobody.
TDataStore problem() {
    TDataStore store = matrixStore({{0, 4, 4, 9}, {4, 0, 8, 5}, {6, 8, 0, 7}, {9, 5, 7, 0}});
    const double places[][2] = {{7.5, 50.25}, {8, 51}, {-0.125, 51.5}, {2, 48}};
    for (int i = 1; i <= 4; ++i) {
        NodeRecord& node = storeNode(store, i, places[i - 1][0], places[i - 1][1]);
        if (i <= 3) {
            node.Demand = NodeDemand{10.0 * i, 1};
        }
    }
    return store;
}

CoverageLayers layersAt(const TDataStore& store, char metric,
                        std::optional<std::vector<std::vector<LonLat>>> roads = {}) {
    CoverageReport report = buildCoverageReport(store, 4, 3, 5);
    countDemand(report, weightedDemands(store, 3, 50), 50);
    return coverageLayers(store, report, metric, metric == 'G' || roads, std::move(roads));
}

}  // namespace

TEST(CoverageExport, TheGeoPackageReadsBackWithEachNodesCoverage) {
    const TDataStore store = problem();
    TempDir dir;
    GdalLayers gis;
    const std::string path =
        dir.write("coverage.gpkg", coverageGeoPackage(gis, layersAt(store, 'G')));
    const ReadBackLayer nodes = readBackLayer(path, "nodes");
    EXPECT_EQ(nodes.crs, "EPSG:4326");
    EXPECT_EQ(nodes.geometryType, "Point");
    EXPECT_EQ(nodes.fields, (std::vector<std::string>{"node", "kind", "demand1", "demand2",
                                                      "weighted_demand", "covered", "nearest_node",
                                                      "nearest_distance", "isolated"}));
    EXPECT_EQ(nodes.wkt, (std::vector<std::string>{"POINT (7.5 50.25)", "POINT (8 51)",
                                                   "POINT (-0.125 51.5)", "POINT (2 48)"}));
    const std::vector<std::vector<std::string>> values = {
        {"1", "demand node", "10", "1", "5.5", "1", "2", "4", "0"},
        {"2", "demand node", "20", "1", "10.5", "1", "1", "4", "0"},
        {"3", "demand node", "30", "1", "15.5", "0", "null", "null", "1"},
        {"4", "candidate site", "null", "null", "null", "null", "null", "null", "null"}};
    EXPECT_EQ(nodes.values, values);
}

TEST(CoverageExport, OnlyGreatCircleAndRoadProblemsAreOnWgs84AndRoadsGetTheirLayer) {
    const TDataStore store = problem();
    TempDir dir;
    GdalLayers gis;
    dir.write("plane.gpkg", coverageGeoPackage(gis, layersAt(store, 'E')));
    EXPECT_EQ(readBackLayer(dir.file("plane.gpkg"), "nodes").crs, "Undefined Cartesian SRS");
    const std::vector<std::vector<LonLat>> road = {{{7.5, 50.25}, {7.5, 50.5}, {8, 51}}};
    dir.write("roads.gpkg", coverageGeoPackage(gis, layersAt(store, 'N', road)));
    EXPECT_EQ(readBackLayer(dir.file("roads.gpkg"), "nodes").crs, "EPSG:4326");
    const ReadBackLayer roads = readBackLayer(dir.file("roads.gpkg"), "roads");
    EXPECT_EQ(roads.crs, "EPSG:4326");
    EXPECT_EQ(roads.wkt, (std::vector<std::string>{"LINESTRING (7.5 50.25,7.5 50.5,8 51)"}));
}
