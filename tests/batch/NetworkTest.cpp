#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "tests/batch/BatchRun.h"
#include "tests/support/RoadMaps.h"

namespace {

// The town with its first three places as demand nodes and the fourth as a candidate site.
void writeTown(const TempDir& dir) {
    const std::vector<MapPlace> places = townPlaces();
    dir.write("town.osm", townMap().xml());
    dir.write("d.NET", nodeLine(1, places[0]) + nodeLine(2, places[1]) + nodeLine(3, places[2]));
    dir.write("s.NET", nodeLine(1, places[3]));
}

const char* const TownSummary =
    "4 nodes; road distance in metres; 10 road nodes and 9 road segments for driving; longest "
    "snap: node 1, 22.2 metres; unreachable cells: 0; cells rounded to 0: 0\n";

}  // namespace

TEST(BatchNetwork, WritesTheRoadDistancesAndOneSummaryLine) {
    TempDir dir;
    writeTown(dir);
    const Result result =
        run(dir, "network --roads town.osm --demand d.NET --candidates s.NET --out town.NED");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, TownSummary);
    EXPECT_EQ(readBytes(dir.file("town.NED")), distanceFileBytes(townDriveMetres()));
}

TEST(BatchNetwork, ReadsTheRoadMapFromAPipe) {
    TempDir dir;
    writeTown(dir);
    const Result result =
        run(dir, "network --roads /dev/stdin --demand d.NET --candidates s.NET --out town.NED",
            "cat town.osm | ");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readBytes(dir.file("town.NED")), distanceFileBytes(townDriveMetres()));
}

TEST(BatchNetwork, ModeAndUnit) {
    // Along the equator, one degree of longitude apart.
    TempDir dir;
    RoadMapText map;
    map.nodes = {{1, 0, 0}, {2, 1, 0}, {3, 2, 0}, {4, 3, 0}};
    map.ways = {{1, {1, 2, 3, 4}, {{"highway", "path"}}}};
    dir.write("line.osm", map.xml());
    dir.write("d.NET", "1 0 0.001 1 1 1\r\n2 3 0.001 1 1 1\r\n");
    const long double metres = map.pathMetres({1, 2, 3, 4});
    const struct {
        const char* unit;
        long double metresPerUnit;
    } units[] = {{"metres", 1}, {"kilometres", 1000}, {"miles", 1609.344L}};
    for (const auto& unit : units) {
        const Result result = run(dir, std::string("network --roads line.osm --demand d.NET "
                                                   "--out line.NED --mode walk --unit ") +
                                           unit.unit);
        ASSERT_EQ(result.status, 0) << result.err;
        const auto cell = static_cast<int32_t>(std::llrint(metres / unit.metresPerUnit));
        EXPECT_EQ(readBytes(dir.file("line.NED")), distanceFileBytes({{0, cell}, {cell, 0}}))
            << unit.unit;
    }
    const Result driving = run(dir, "network --roads line.osm --demand d.NET --out drive.NED");
    EXPECT_EQ(driving.status, 1);
    EXPECT_EQ(driving.err, "velmora-batch: line.osm: The road map holds no roads for driving\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("drive.NED")));
}

TEST(BatchNetwork, BadInputNamesItsFileAndLineAndWritesNothing) {
    TempDir dir;
    writeTown(dir);
    dir.write("old.NED", "old\r\n");
    dir.write("far.NET", "1 0 -0.0002 1 1 1\r\n2 0.002 -0.0001 1 1 1\r\n2 0.0101 0 1 1 1\r\n");
    dir.write("off.NET", "1 0 0 x x 1\r\n2 181 0 x x 1\r\n");
    dir.write("empty.osm.pbf", "");
    dir.write("words.osm", "no roads here\n");
    const struct {
        const char* arguments;
        const char* err;
    } cases[] = {
        {"--demand far.NET",
         "velmora-batch: town.osm: 4 pairs of nodes are joined by no road for driving; the "
         "first is row 1, column 3 (from node 1 to node 3)\n"},
        {"--demand far.NET --max-snap 15",
         "velmora-batch: far.NET:1: Node 1 is 22.2 metres from the nearest road for driving, "
         "farther than the 15.0 metres allowed\n"},
        {"--demand d.NET --candidates off.NET",
         "velmora-batch: off.NET:2: Node 5 is at longitude (X) 181 and latitude (Y) 0: a "
         "longitude must lie from -180 to 180 and a latitude from -90 to 90\n"},
        {"--demand d.NET --roads empty.osm.pbf",
         "velmora-batch: empty.osm.pbf: The road map is empty: it is not an OpenStreetMap "
         "file\n"},
    };
    for (const auto& bad : cases) {
        std::string arguments = std::string("network ") + bad.arguments + " --out old.NED";
        if (arguments.find("--roads") == std::string::npos) {
            arguments += " --roads town.osm";
        }
        const Result result = run(dir, arguments);
        EXPECT_EQ(result.status, 1) << arguments;
        EXPECT_EQ(result.err, bad.err) << arguments;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(readBytes(dir.file("old.NED")), "old\r\n");
    }
    const Result words = run(dir, "network --roads words.osm --demand d.NET --out old.NED");
    EXPECT_EQ(words.status, 1);
    EXPECT_TRUE(
        words.err.starts_with("velmora-batch: words.osm: The road map is not OpenStreetMap XML: "))
        << words.err;
    EXPECT_EQ(folderListing(dir.path()),
              "d.NET\nempty.osm.pbf\nfar.NET\noff.NET\nold.NED\ns.NET\ntown.osm\nwords.osm\n");

    const Result filled =
        run(dir, "network --roads town.osm --demand far.NET --out far.NED --unreachable -7");
    ASSERT_EQ(filled.status, 0) << filled.err;
    EXPECT_NE(filled.out.find("; unreachable cells: 4 (set to -7);"), std::string::npos)
        << filled.out;
    const auto metres = townDriveMetres();
    EXPECT_EQ(readBytes(dir.file("far.NED")),
              distanceFileBytes({{0, metres[0][2], -7}, {metres[2][0], 0, -7}, {-7, -7, 0}}));
}

TEST(BatchNetwork, TravelTimeAtTheSpeedsOfAFileAndItsRefusals) {
    TempDir dir;
    writeTown(dir);
    dir.write("old.NED", "old\r\n");
    // At 3.6 km/h, 1 m/s, the town's streets take as many seconds as they have metres.
    dir.write("slow.txt", "# walking pace\nresidential 3.6\nprimary 36\n");
    const Result result = run(dir,
                              "network --roads town.osm --demand d.NET --candidates s.NET "
                              "--out town.NED --cost time --unit seconds --speeds slow.txt");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out.starts_with("4 nodes; travel time in seconds; 10 road nodes"))
        << result.out;
    EXPECT_EQ(readBytes(dir.file("town.NED")), distanceFileBytes(townDriveMetres()));
    // The report takes the same options: two cells within 300 s, as within 300 m.
    const Result report = run(dir,
                              "report --roads town.osm --demand d.NET --candidates s.NET --json "
                              "--coverage 300 --cost time --unit seconds --speeds slow.txt");
    EXPECT_NE(report.out.find("\"withinCoverage\": 2,"), std::string::npos) << report.err;
    const struct {
        const char* arguments;
        const char* err;
    } cases[] = {
        {"--cost time --unit hours",
         "velmora-batch: town.osm: Every travel time between nodes at different road nodes "
         "rounds to 0 hours: choose minutes or seconds\n"},
        {"--cost time --speeds bad.txt",
         "velmora-batch: bad.txt:2: 'none' is not a speed for primary: a number of km/h "
         "greater than 0, such as 50 or 7.5, is needed\n"},
    };
    dir.write("bad.txt", "walk 4\nprimary none\n");
    for (const auto& bad : cases) {
        const Result refused = run(dir, std::string("network --roads town.osm --demand d.NET "
                                                    "--out old.NED ") +
                                            bad.arguments);
        EXPECT_EQ(refused.status, 1) << bad.arguments;
        EXPECT_EQ(refused.err, bad.err);
        EXPECT_EQ(readBytes(dir.file("old.NED")), "old\r\n");
    }
}

TEST(BatchNetwork, LimitsAreReadAsWritten) {
    TempDir dir;
    writeTown(dir);
    dir.write("far.NET", "1 0 0 1 1 1\r\n2 0.0101 0 1 1 1\r\n");
    const Result filled =
        run(dir, "network --roads town.osm --demand far.NET --out far.NED --unreachable 010");
    ASSERT_EQ(filled.status, 0) << filled.err;
    EXPECT_NE(filled.out.find("; unreachable cells: 2 (set to 10);"), std::string::npos)
        << filled.out;

    dir.write("d2.NET", "1 0 0 1 1 1\r\n2 0.003 0 1 1 1\r\n");
    const Result exact =
        run(dir, "network --roads town.osm --demand d2.NET --out on.NED --max-snap 0");
    ASSERT_EQ(exact.status, 0) << exact.err;
    EXPECT_TRUE(exact.out.find("longest snap: node 1, 0.0 metres") != std::string::npos)
        << exact.out;
}

TEST(BatchNetwork, UsageMistakes) {
    TempDir dir;
    writeTown(dir);
    const char* const mistakes[] = {
        "network --demand d.NET --out o.NED",
        "network --roads town.osm --demand d.NET --out o.NED --mode bike",
        "network --roads town.osm --demand d.NET --out o.NED --unit feet",
        "network --roads town.osm --demand d.NET --out o.NED --cost speed",
        "network --roads town.osm --demand d.NET --out o.NED --unit minutes",
        "network --roads town.osm --demand d.NET --out o.NED --cost time --unit metres",
        "network --roads town.osm --demand d.NET --out o.NED --speeds d.NET",
        "report --metric euclidean --demand d.NET --coverage 5 --cost time",
        "network --roads town.osm --demand d.NET --out o.NED --unreachable 2147483648",
        "network --roads town.osm --demand d.NET --out o.NED --unreachable 1.5",
        "network --roads town.osm --demand d.NET --out o.NED --max-snap -1",
        "network --roads town.osm --demand d.NET --out o.NED --max-snap nan",
        "network --roads town.osm --demand d.NET --out o.NED --max-snap inf",
        "network --roads town.osm --demand d.NET --out o.NED --unreachable 0x10",
        "network --roads '' --demand d.NET --out o.NED",
        "report --roads town.osm --metric euclidean --demand d.NET --coverage 5",
        "report --roads town.osm --in x.NED --demand d.NET --coverage 5",
        "report --mode walk --metric euclidean --demand d.NET --coverage 5",
    };
    for (const char* arguments : mistakes) {
        const Result result = run(dir, arguments);
        EXPECT_EQ(result.status, 2) << arguments << "\n" << result.out << result.err;
    }
    EXPECT_EQ(folderListing(dir.path()), "d.NET\ns.NET\ntown.osm\n");
}

TEST(BatchNetwork, TheReportTakesTheRoadDistances) {
    TempDir dir;
    writeTown(dir);
    const Result result = run(dir,
                              "report --roads town.osm --demand d.NET --candidates s.NET "
                              "--coverage 300 --json");
    ASSERT_EQ(result.status, 0) << result.err;
    // Of the twelve off-diagonal cells, two lie within 300 m: 1 to 3 and 3 to 2 (two and one
    // segments of 111 m); the next shortest, 4 to 1, is 111 m and 222 m.
    const auto metres = townDriveMetres();
    ASSERT_LE(metres[0][2], 300);
    ASSERT_LE(metres[2][1], 300);
    ASSERT_GT(metres[3][0], 300);
    EXPECT_NE(result.out.find("\"metric\": \"network\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\"withinCoverage\": 2,"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\"minimum\": " + std::to_string(metres[2][1]) + ","),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\"mode\": \"drive\", \"cost\": \"distance\", \"unit\": \"metres\"}"),
              std::string::npos);
}

TEST(BatchNetwork, TheReportsMapDrawsTheRoadsOfTheMode) {
    struct Charts : ChartRenderer {
        std::string png(const Chart& chart) override {
            drawn.push_back(chart);
            return "png";
        }
        std::vector<Chart> drawn;
    } pictures;
    TempDir dir;
    writeTown(dir);
    const Result result =
        runHere({"velmora-batch", "report", "--roads", dir.file("town.osm"), "--mode", "walk",
                 "--demand", dir.file("d.NET"), "--coverage", "300", "--map", dir.file("m.png")},
                {}, &pictures);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\nMatrix: road lengths in metres (walk), computed from the road "
                              "map town.osm\n"),
              std::string::npos)
        << result.out;
    ASSERT_EQ(pictures.drawn.size(), 1u);
    EXPECT_FALSE(pictures.drawn[0].lines.empty());
}
