#include "gis/NodeImport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "gis/gdal/GdalLayers.h"
#include "loading/NodeFile.h"
#include "platform/RunTimeError.h"
#include "tests/support/GisTestLayers.h"
#include "tests/support/TestFiles.h"

namespace {

using Feature = TestLayer::Feature;

class ImportNodes : public ::testing::Test {
protected:
    std::string import(NodeImport request, char decimal = '.') {
        return importNodeFile(gis, request, decimal);
    }
    // The refusal's file and message, or what was written when there was none.
    std::string refusal(const NodeImport& request) {
        try {
            return "written: " + import(request);
        } catch (const RunTimeError& error) {
            return error.file() + ": " + error.message();
        }
    }
    NodeImport from(const std::string& path, NodeCoordinates coordinates) {
        NodeImport request;
        request.from = path;
        request.coordinates = coordinates;
        return request;
    }

    TempDir dir;
    GdalLayers gis;
};

constexpr NodeCoordinates Degrees = NodeCoordinates::LongitudeLatitude;
constexpr NodeCoordinates Planar = NodeCoordinates::Planar;

std::vector<std::vector<std::string>> fieldsOf(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line, '\n')) {
        EXPECT_EQ(line.back(), '\r');
        line.pop_back();
        NodeFields fields;
        lines.emplace_back(fields.begin(), fields.begin() + tokenizeLine(line, fields));
    }
    return lines;
}

// PROJ's own command on the same points, with its CRS's axis order.
std::vector<std::pair<double, double>> cs2cs(const std::string& from, const std::string& to,
                                             const std::string& points) {
    const std::string command = "echo '" + points + "' | cs2cs -f %.15f " + from + " " + to;
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr) << command;
    std::vector<std::pair<double, double>> result;
    double first = 0;
    double second = 0;
    double third = 0;
    while (pipe && std::fscanf(pipe, "%lf %lf %lf", &first, &second, &third) == 3) {
        result.emplace_back(first, second);
    }
    EXPECT_EQ(pipe ? pclose(pipe) : -1, 0) << command;
    return result;
}

TestLayer utmSites() {
    TestLayer layer;
    layer.crs = "EPSG:25832";
    layer.fields = {{"code", 's'}, {"pop", 'r'}, {"pop2", 'i'}, {"name", 's'}};
    layer.features = {
        {"POINT (500000 5500000)", {"A-1", "12.5", "7", "Depot North"}},
        {"POINT (650123.25 5321987.5)", {"B-2", "0", "0", std::nullopt}},
        {"POINT (412345.678 5987654.321)", {"C-3", "1e6", "3", "Line\r\nend\x1b"}},
    };
    return layer;
}

}  // namespace

TEST_F(ImportNodes, ProjectedPointsBecomeTheLonLatCs2csGives) {
    const std::string path = dir.file("sites.gpkg");
    writeTestLayers(path, "GPKG", {utmSites()});
    NodeImport request = from(path, Degrees);
    request.idField = "code";
    request.demandField = "pop";
    request.secondDemandField = "pop2";
    request.nameField = "name";
    const auto lines = fieldsOf(import(request));
    // EPSG:4326 is latitude first.
    const auto expected = cs2cs("EPSG:25832", "EPSG:4326",
                                "500000 5500000\n650123.25 5321987.5\n412345.678 5987654.321");
    ASSERT_EQ(lines.size(), 3u);
    ASSERT_EQ(expected.size(), 3u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NEAR(std::stod(lines[i][1]), expected[i].second, 1e-9) << i;
        EXPECT_NEAR(std::stod(lines[i][2]), expected[i].first, 1e-9) << i;
    }
    EXPECT_EQ(std::vector<std::string>(lines[0].begin() + 3, lines[0].end()),
              (std::vector<std::string>{"12.5", "7", "0", "Depot North"}));
    EXPECT_EQ(lines[1].size(), 6u);
    EXPECT_EQ(lines[2][0], "C-3");
    EXPECT_EQ(lines[2][3], "1000000");
    // The line end and the escape in the name are spaces; the line stays one line.
    EXPECT_EQ(lines[2][6], "Line  end");
}

TEST_F(ImportNodes, PlanarFilesKeepTheLayersOwnCoordinatesOrTakeTheCrsGiven) {
    const std::string path = dir.file("sites.gpkg");
    writeTestLayers(path, "GPKG", {utmSites()});
    NodeImport request = from(path, Planar);
    const auto own = fieldsOf(import(request));
    EXPECT_EQ(own[2], (std::vector<std::string>{"3", "412345.678", "5987654.321", "0", "0", "0"}));
    // EPSG:3035 is northing first, the file easting first.
    request.crs = "EPSG:3035";
    const auto lines = fieldsOf(import(request));
    const auto expected = cs2cs("EPSG:25832", "EPSG:3035",
                                "500000 5500000\n650123.25 5321987.5\n412345.678 5987654.321");
    ASSERT_EQ(expected.size(), 3u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NEAR(std::stod(lines[i][1]), expected[i].second, 1e-6) << i;
        EXPECT_NEAR(std::stod(lines[i][2]), expected[i].first, 1e-6) << i;
    }
}

TEST_F(ImportNodes, GeoJsonShapefileAndCsvLayers) {
    TestLayer layer;
    layer.crs = "EPSG:4326";
    layer.fields = {{"code", 's'}, {"pop", 'i'}};
    layer.features = {{"POINT (7.5 50.25)", {"A", "10"}}, {"POINT (-0.125 51.5)", {"B", "3"}}};
    const std::string lines = "A 7.5 50.25 10 10 0\r\nB -0.125 51.5 3 3 0\r\n";
    writeTestLayers(dir.file("sites.geojson"), "GeoJSON", {layer});
    writeTestLayers(dir.file("sites.shp"), "ESRI Shapefile", {layer});
    dir.write("lonlat.csv", "code,Lon,LAT,pop\nA,7.5,50.25,10\nB,-0.125,51.5,3\n");
    dir.write("named.csv", "code,ost,nord,pop\nA,7.5,50.25,10\nB,-0.125,51.5,3\n");
    for (const char* file : {"sites.geojson", "sites.shp", "lonlat.csv", "named.csv"}) {
        NodeImport request = from(dir.file(file), Degrees);
        request.idField = "code";
        request.demandField = "pop";
        if (std::string(file) == "named.csv") {
            request.xField = "ost";
            request.yField = "nord";
        }
        EXPECT_EQ(import(request), lines) << file;
    }
}

TEST_F(ImportNodes, PolygonsAndLinesGiveTheirPointOnSurfaceOnlyWhenAsked) {
    TestLayer layer;
    layer.crs = "EPSG:25832";
    layer.features = {{"POLYGON ((0 0,4 0,4 2,0 2,0 0))", {}}, {"LINESTRING (10 5,14 5)", {}}};
    const std::string path = dir.file("areas.gpkg");
    writeTestLayers(path, "GPKG", {layer});
    NodeImport request = from(path, Planar);
    EXPECT_EQ(refusal(request),
              path +
                  ": layer 'sites', feature 1 (FID 1): its geometry is a Polygon, not a "
                  "point; its point on surface can be taken instead (--centroids)");
    request.centroids = true;
    const auto lines = fieldsOf(import(request));
    ASSERT_EQ(lines.size(), 2u);
    const double x = std::stod(lines[0][1]);
    const double y = std::stod(lines[0][2]);
    EXPECT_TRUE(x > 0 && x < 4 && y > 0 && y < 2) << x << ' ' << y;
    EXPECT_EQ(lines[1][2], "5");
    EXPECT_TRUE(std::stod(lines[1][1]) >= 10 && std::stod(lines[1][1]) <= 14);
}

TEST_F(ImportNodes, RefusalsNameTheFileTheLayerAndTheFeature) {
    TestLayer base;
    base.crs = "EPSG:4326";
    base.fields = {{"code", 's'}, {"pop", 's'}};
    const struct {
        std::vector<Feature> features;
        void (*adjust)(NodeImport&);
        std::string message;
    } cases[] = {
        {{{"POINT (1 2)", {"A", "1"}}, {"POINT EMPTY", {"B", "1"}}},
         [](NodeImport&) {},
         "layer 'sites', feature 2 (FID 2): its geometry (Point) is empty"},
        {{{"", {"A", "1"}}},
         [](NodeImport&) {},
         "layer 'sites', feature 1 (FID 1): it has no geometry"},
        {{{"POINT (1 2)", {"A", std::nullopt}}},
         [](NodeImport& r) { r.demandField = "pop"; },
         "layer 'sites', feature 1 (FID 1): demand field 'pop' is null"},
        {{{"POINT (1 2)", {"A", "1"}}, {"POINT (1 2)", {"A", "many"}}},
         [](NodeImport& r) { r.demandField = "pop"; },
         "layer 'sites', feature 2 (FID 2): demand field 'pop' is not a number: 'many'"},
        {{{"POINT (1 2)", {"A", "-3"}}},
         [](NodeImport& r) { r.secondDemandField = "pop"; },
         "layer 'sites', feature 1 (FID 1): demand field 'pop' is negative: -3"},
        {{{"POINT (1 2)", {"A", "x"}}},
         [](NodeImport& r) { r.numberField = "pop"; },
         "layer 'sites', feature 1 (FID 1): number field 'pop' is not a number: 'x'"},
        {{{"POINT (1 2)", {"A", "1"}}},
         [](NodeImport& r) { r.demandField = "popp"; },
         "layer 'sites' has no field 'popp'; its fields: 'code', 'pop'"},
        {{{"POINT (1 2)", {"A b", "1"}}},
         [](NodeImport& r) { r.idField = "code"; },
         "layer 'sites', feature 1 (FID 1): id field 'code' holds 'A b': a node's id must be "
         "one word, without spaces or control characters"},
        {{{"POINT (1 95)", {"A", "1"}}},
         [](NodeImport&) {},
         "layer 'sites', feature 1 (FID 1): its latitude, 95, lies beyond a pole"},
        {{{"POINT (1 2)", {"A", "1"}}},
         [](NodeImport& r) { r.coordinates = Planar; },
         "layer 'sites' is in geographic coordinates (WGS 84 (EPSG:4326)); Euclidean and "
         "Manhattan distances need projected ones: write a .GRT node file for Great Circle "
         "distances, or give a projected CRS (--crs, for example EPSG:25832)"},
        {{{"POINT (1 2)", {"A", "1"}}},
         [](NodeImport& r) {
             r.coordinates = Planar;
             r.crs = "EPSG:4258";
         },
         "the CRS 'EPSG:4258' is geographic; Euclidean and Manhattan distances need a projected "
         "one (for example EPSG:25832)"},
        {{{"POINT (1 2)", {"A", "1"}}},
         [](NodeImport& r) { r.sourceCrs = "EPSG:25832"; },
         "layer 'sites' has its own CRS, WGS 84 (EPSG:4326); a source CRS is only for layers "
         "without one"},
        {{{"POINT (1 2)", {"A", "1"}}},
         [](NodeImport& r) {
             r.xField = "code";
             r.yField = "pop";
         },
         "layer 'sites' is not a CSV file: its points come from its geometry, not from "
         "coordinate columns"},
        {{}, [](NodeImport&) {}, "layer 'sites' holds no features"},
        {{{"POINT (1 2)", {"A", "1"}}},
         [](NodeImport& r) { r.layer = "roads"; },
         "has no layer 'roads'; its layers: 'sites'"},
    };
    int number = 0;
    for (const auto& given : cases) {
        TestLayer layer = base;
        layer.features = given.features;
        const std::string path = dir.file("case" + std::to_string(++number) + ".gpkg");
        writeTestLayers(path, "GPKG", {layer});
        NodeImport request = from(path, Degrees);
        given.adjust(request);
        EXPECT_EQ(refusal(request), path + ": " + given.message);
    }
}

TEST_F(ImportNodes, CoordinatesProjCannotTransformAreRefused) {
    TestLayer layer;
    layer.crs = "EPSG:25832";
    layer.features = {{"POINT (500000 5500000)", {}}, {"POINT (1e30 1e30)", {}}};
    const std::string path = dir.file("far.gpkg");
    writeTestLayers(path, "GPKG", {layer});
    EXPECT_EQ(refusal(from(path, Degrees)),
              path + ": layer 'sites', feature 2 (FID 2): PROJ cannot transform its coordinates");
}

TEST_F(ImportNodes, SeveralLayersNeedOneNamed) {
    TestLayer sites;
    sites.features = {{"POINT (1 2)", {}}};
    TestLayer depots = sites;
    depots.name = "depots";
    depots.features.push_back({"POINT (3 4)", {}});
    const std::string path = dir.file("two.gpkg");
    writeTestLayers(path, "GPKG", {sites, depots});
    NodeImport request = from(path, Degrees);
    EXPECT_EQ(refusal(request),
              path + ": holds 2 layers; name one with --layer: 'sites', 'depots'");
    request.layer = "depots";
    EXPECT_EQ(import(request), "1 1 2 0 0 0\r\n2 3 4 0 0 0\r\n");
}

TEST_F(ImportNodes, NineHundredAndOneFeaturesAtMost) {
    TestLayer layer;
    layer.crs = "EPSG:25832";
    for (int i = 0; i < 902; ++i) {
        layer.features.push_back({"POINT (" + std::to_string(i) + " 0)", {}});
    }
    const std::string path = dir.file("many.gpkg");
    writeTestLayers(path, "GPKG", {layer});
    EXPECT_EQ(refusal(from(path, Planar)),
              path + ": layer 'sites' holds 902 features; a node file holds at most 901");
    layer.features.pop_back();
    writeTestLayers(dir.file("most.gpkg"), "GPKG", {layer});
    const std::string text = import(from(dir.file("most.gpkg"), Planar));
    EXPECT_EQ(fieldsOf(text).size(), 901u);
    EXPECT_EQ(text.substr(text.size() - 19), "\r\n901 900 0 0 0 0\r\n");
}

TEST_F(ImportNodes, NumbersReadBackAsTheSameDoublesWithEitherDecimalSeparator) {
    TestLayer layer;
    layer.crs = "EPSG:25832";
    layer.fields = {{"pop", 'r'}};
    const std::vector<std::pair<double, double>> points = {
        {0.1, 1e-7}, {123456789.123456789, -0.5}, {1e21, 2.5e-300}, {-17, 0.30000000000000004}};
    for (const auto& [x, y] : points) {
        char wkt[128];
        std::snprintf(wkt, sizeof wkt, "POINT (%.17g %.17g)", x, y);
        layer.features.push_back({wkt, {"0.7"}});
    }
    const std::string path = dir.file("exact.gpkg");
    writeTestLayers(path, "GPKG", {layer});
    for (const char decimal : {'.', ','}) {
        NodeImport request = from(path, Planar);
        request.demandField = "pop";
        const std::string file = dir.write("exact.EUC", import(request, decimal));
        TDataStore store;
        NodeFields fields;
        readNodeFile(store, file, NodeFileKind::Demand, fields, decimal);
        ASSERT_EQ(store.NodeCount, points.size());
        for (int node = 1; node <= store.NodeCount; ++node) {
            const auto& [x, y] = points[static_cast<std::size_t>(node - 1)];
            EXPECT_EQ(store.NodeTable[node].XCoord, x) << decimal << node;
            EXPECT_EQ(store.NodeTable[node].YCoord, y) << decimal << node;
            EXPECT_EQ(store.NodeTable[node].Demand->set1, 0.7);
        }
    }
}
