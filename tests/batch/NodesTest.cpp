#include <gtest/gtest.h>

#include "tests/batch/BatchRun.h"
#include "tests/support/GisTestLayers.h"

namespace {

void writeSites(const TempDir& dir) {
    TestLayer layer;
    layer.crs = "EPSG:25832";
    layer.fields = {{"code", 's'}, {"pop", 'r'}, {"name", 's'}};
    layer.features = {{"POINT (500000.5 5500000)", {"A", "7.5", "Depot\nNorth"}},
                      {"POINT (500100 5500200.25)", {"B", "-1", "Gate"}}};
    writeTestLayers(dir.file("sites.gpkg"), "GPKG", {layer});
}

}  // namespace

TEST(NodesVerb, WritesTheNodeFileAndPrintsNothing) {
    TempDir dir;
    writeSites(dir);
    const Result result =
        run(dir, "nodes --from sites.gpkg --out sites.EUC --id-field code --name-field name");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_EQ(readBytes(dir.file("sites.EUC")),
              "A 500000.5 5500000 0 0 0 Depot North\r\nB 500100 5500200.25 0 0 0 Gate\r\n");
    EXPECT_EQ(folderListing(dir.path()), "sites.EUC\nsites.gpkg\n");
}

TEST(NodesVerb, ARefusalNamesFileLayerAndFeatureAndLeavesTheOldFile) {
    TempDir dir;
    writeSites(dir);
    dir.write("sites.EUC", "old\r\n");
    const Result result = run(dir, "nodes --from sites.gpkg --out sites.EUC --demand-field pop");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "velmora-batch: sites.gpkg: layer 'sites', feature 2 (FID 2): demand field 'pop' "
              "is negative: -1\n");
    EXPECT_EQ(readBytes(dir.file("sites.EUC")), "old\r\n");
    EXPECT_EQ(folderListing(dir.path()), "sites.EUC\nsites.gpkg\n");
}

TEST(NodesVerb, TheOutputsExtensionAndTheOptionsItAllows) {
    TempDir dir;
    writeSites(dir);
    for (const char* options : {"--out sites.txt", "--out sites.GRT --crs EPSG:25832",
                                "--out sites.EUC --x-field code", "--out sites.EUC --layer"}) {
        const Result result = run(dir, std::string("nodes --from sites.gpkg ") + options);
        EXPECT_EQ(result.status, 2) << options;
        EXPECT_NE(result.err.find("Run with --help"), std::string::npos) << result.err;
    }
    EXPECT_EQ(folderListing(dir.path()), "sites.gpkg\n");
    const Result lonLat = run(dir, "nodes --from sites.gpkg --out sites.grt");
    ASSERT_EQ(lonLat.status, 0) << lonLat.err;
    EXPECT_EQ(readBytes(dir.file("sites.grt")).substr(0, 7), "1 9.000");
}

TEST(NodesVerb, NumbersFollowTheLocalesDecimalSeparatorAsNodeFilesAreRead) {
    TempDir dir;
    writeSites(dir);
    const Result result = run(dir, "nodes --from sites.gpkg --out sites.MAN --number-field pop",
                              "LC_ALL=de_DE.UTF-8 ");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readBytes(dir.file("sites.MAN")),
              "1 500000,5 5500000 0 0 7,5\r\n2 500100 5500200,25 0 0 -1\r\n");
    EXPECT_EQ(run(dir, "compute --metric manhattan --demand sites.MAN --out sites.MAD",
                  "LC_ALL=de_DE.UTF-8 ")
                  .status,
              0);
}

TEST(ReportVerb, GpkgWritesTheNodesForAGis) {
    TempDir dir;
    dir.write("d.GRT", "1 7.5 50.25 10 20 1\r\n2 8 51 40 0 1\r\n");
    const std::string problem = "report --demand d.GRT --coverage 100 --gpkg nodes.gpkg --metric ";
    for (const char* metric : {"great-circle", "euclidean"}) {
        const Result result = run(dir, problem + metric);
        ASSERT_EQ(result.status, 0) << result.err;
        const ReadBackLayer nodes = readBackLayer(dir.file("nodes.gpkg"), "nodes");
        EXPECT_EQ(nodes.crs,
                  std::string(metric) == "euclidean" ? "Undefined Cartesian SRS" : "EPSG:4326");
        EXPECT_EQ(nodes.wkt, (std::vector<std::string>{"POINT (7.5 50.25)", "POINT (8 51)"}));
        EXPECT_EQ(nodes.values[1][0], "2");
    }
}
