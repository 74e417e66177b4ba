#include "roads/RoadMatrix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <random>
#include <tuple>

#include "platform/Workers.h"
#include "roads/Haversine.h"
#include "roads/RoadError.h"
#include "roads/RoadNodeIndex.h"
#include "roads/RoadSpeeds.h"
#include "tests/support/RoadMaps.h"
#include "tests/support/TestFiles.h"

namespace {

using Path = std::vector<int64_t>;

// The rounded length of the shortest of the paths given, in the unit.
int32_t expectedCell(const RoadMapText& map, std::initializer_list<Path> paths,
                     long double unitMetres = 1) {
    long double shortest = INFINITY;
    for (const Path& path : paths) {
        shortest = std::min(shortest, map.pathMetres(path));
    }
    return static_cast<int32_t>(std::llrint(shortest / unitMetres));
}

std::vector<RoadPlace> placesOf(const std::vector<MapPlace>& places) {
    std::vector<RoadPlace> converted;
    for (const MapPlace& place : places) {
        converted.push_back({place.longitude, place.latitude});
    }
    return converted;
}

class ComputeRoadMatrix : public ::testing::Test {
protected:
    RoadMatrix compute(const RoadMapText& map, const std::vector<RoadPlace>& places) {
        return computeRoadMatrix(dir.write("map.osm", map.xml()), places, settings, progress);
    }

    // The message of the RoadError that computing throws, and the node it names.
    std::pair<std::string, int> failure(const RoadMapText& map,
                                        const std::vector<RoadPlace>& places) {
        try {
            compute(map, places);
        } catch (const RoadError& error) {
            return {error.message(), error.node()};
        }
        return {"nothing thrown", -1};
    }

    static int32_t cell(const RoadMatrix& matrix, int row, int column) {
        return matrix.cells[static_cast<std::size_t>((row - 1) * matrix.n + column - 1)];
    }

    TempDir dir;
    RoadSettings settings;
    SilentProgress progress;
    RoadMapText town = townMap();
    std::vector<RoadPlace> townPlaces = placesOf(::townPlaces());
};

TEST_F(ComputeRoadMatrix, DrivingKeepsOneWaysAndLeavesPrivateRoadsAndFootwaysOut) {
    const RoadMatrix matrix = compute(town, townPlaces);
    ASSERT_EQ(matrix.n, 4);
    const auto expected = townDriveMetres();
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) {
            EXPECT_EQ(cell(matrix, i, j), expected[i - 1][j - 1])
                << "row " << i << ", column " << j;
        }
    }
    EXPECT_EQ(matrix.summary.roadNodes, 10u);
    EXPECT_EQ(matrix.summary.segments, 9u);
}

TEST_F(ComputeRoadMatrix, WalkingGoesBothWaysAndTakesTheFootway) {
    settings.mode = TravelMode::Walk;
    const RoadMatrix matrix = compute(town, townPlaces);
    EXPECT_EQ(cell(matrix, 1, 2), expectedCell(town, {{1, 2, 3, 4}}));
    EXPECT_EQ(cell(matrix, 2, 1), expectedCell(town, {{4, 3, 2, 1}}));
    EXPECT_EQ(cell(matrix, 2, 3), expectedCell(town, {{4, 3}}));
    EXPECT_EQ(cell(matrix, 3, 1), expectedCell(town, {{3, 2, 1}}));
    EXPECT_EQ(cell(matrix, 4, 3), expectedCell(town, {{6, 2, 3}}));
    EXPECT_EQ(cell(matrix, 1, 4), expectedCell(town, {{1, 2, 6}, {1, 5, 6}}));
    EXPECT_EQ(cell(matrix, 4, 2), expectedCell(town, {{6, 2, 3, 4}, {6, 7, 8, 4}}));
    EXPECT_EQ(matrix.summary.roadNodes, 10u);
    EXPECT_EQ(matrix.summary.segments, 10u);
}

TEST_F(ComputeRoadMatrix, ARoundaboutIsDrivenOneWayUnlessMarkedOtherwise) {
    // Four nodes around a circle, drawn clockwise: north, east, south, west.
    RoadMapText map;
    map.nodes = {{1, 0, 0.001}, {2, 0.001, 0}, {3, 0, -0.001}, {4, -0.001, 0}};
    const std::vector<RoadPlace> northAndWest = {{0, 0.0012}, {-0.0012, 0}};
    const Path clockwise = {1, 2, 3, 4};
    const Path back = {1, 4};
    struct Case {
        std::vector<std::pair<std::string, std::string>> tags;
        TravelMode mode;
        Path northToWest;
    };
    const Case cases[] = {
        {{{"junction", "roundabout"}}, TravelMode::Drive, clockwise},
        {{{"junction", "circular"}}, TravelMode::Drive, clockwise},
        {{{"junction", "roundabout"}, {"oneway", "no"}}, TravelMode::Drive, back},
        {{{"junction", "roundabout"}}, TravelMode::Walk, back},
        {{}, TravelMode::Drive, back},
    };
    for (const Case& road : cases) {
        map.ways = {{1, {1, 2, 3, 4, 1}, road.tags}};
        map.ways[0].tags.emplace_back("highway", "tertiary");
        settings.mode = road.mode;
        const RoadMatrix matrix = compute(map, northAndWest);
        EXPECT_EQ(cell(matrix, 1, 2), expectedCell(map, {road.northToWest}))
            << map.ways[0].tags.front().first;
        EXPECT_EQ(cell(matrix, 2, 1), expectedCell(map, {{4, 1}}));
    }
}

TEST_F(ComputeRoadMatrix, SnappingTiesGoToTheSmallestNodeId) {
    // Node 41 is listed first; 40 lies as far from the first place, on the other side. Node
    // 43 lies where 42 does, on a road of its own that leads nowhere.
    RoadMapText map;
    map.nodes = {
        {41, 0.001, 0}, {40, -0.001, 0}, {43, 0.003, 0}, {42, 0.003, 0}, {44, 0.003, 0.002}};
    map.ways = {{2, {43, 44}, {{"highway", "service"}}},
                {1, {40, 41, 42}, {{"highway", "service"}}}};
    const RoadMatrix matrix = compute(map, {{0, -0.0001}, {0.003, -0.0001}});
    EXPECT_EQ(cell(matrix, 1, 2), expectedCell(map, {{40, 41, 42}}));
    EXPECT_EQ(cell(matrix, 2, 1), expectedCell(map, {{42, 41, 40}}));
}

TEST_F(ComputeRoadMatrix, NodesOnOneRoadNodeAreZeroApartAndSnapLegsAreNotCounted) {
    const RoadMatrix matrix =
        compute(town, {{0.0000, -0.0002}, {-0.0001, 0.0000}, {0.0030, 0.0003}, {0.005, 0.005}});
    EXPECT_EQ(cell(matrix, 1, 2), 0);
    EXPECT_EQ(cell(matrix, 2, 1), 0);
    EXPECT_EQ(cell(matrix, 1, 3), expectedCell(town, {{1, 2, 3, 4}}));
    // The building's corner is no road node: the place far to the north-east goes to node 8.
    EXPECT_EQ(cell(matrix, 1, 4), expectedCell(town, {{1, 5, 6, 7, 8}, {1, 2, 3, 4, 8}}));
    EXPECT_EQ(matrix.summary.longestSnapNode, 4);
    EXPECT_EQ(std::llrint(matrix.summary.longestSnapMetres * 1000),
              std::llrint(sphereMetres(0.005, 0.005, 0.003, 0.002) * 1000));
}

TEST_F(ComputeRoadMatrix, CellsInEachUnitRoundToTheNearestWholeNumber) {
    // A degree of longitude along the equator is 111,195.08 m: three make 333,585.24 m,
    // 333.59 km and 207.28 miles; 15,011.3 s at the trunk's 80 km/h and 24,018.1 s at the
    // 50 km/h allowed against the drawing.
    RoadMapText map;
    map.nodes = {{1, 0, 0}, {2, 1, 0}, {3, 2, 0}, {4, 3, 0}};
    map.ways = {{1, {1, 2, 3, 4}, {{"highway", "trunk"}, {"maxspeed:backward", "50"}}}};
    const struct {
        RoadUnit unit;
        int32_t east;
        int32_t west;
    } units[] = {{RoadUnit::Metres, 333585, 333585}, {RoadUnit::Kilometres, 334, 334},
                 {RoadUnit::Miles, 207, 207},        {RoadUnit::Seconds, 15011, 24018},
                 {RoadUnit::Minutes, 250, 400},      {RoadUnit::Hours, 4, 7}};
    for (const auto& unit : units) {
        settings.cost = unitRow(unit.unit).cost;
        settings.unit = unit.unit;
        const RoadMatrix matrix = compute(map, {{0, 0.01}, {3, 0.01}});
        EXPECT_EQ(cell(matrix, 1, 2), unit.east) << unitName(unit.unit);
        EXPECT_EQ(cell(matrix, 2, 1), unit.west) << unitName(unit.unit);
        EXPECT_EQ(cell(matrix, 1, 1), 0);
        const long double perMetre = settings.cost == RoadCost::Time ? 80 / 3.6L : 1;
        EXPECT_EQ(unit.east, expectedCell(map, {{1, 2, 3, 4}}, unitRow(unit.unit).base * perMetre));
    }
}

TEST_F(ComputeRoadMatrix, TravelTimeTakesTheQuickerRoadAndDistanceTheShorter) {
    // A residential street straight from 1 to 2 (1,112 m at 30 km/h: 133 s) and a trunk
    // road around by 3 (1,424 m at 80 km/h: 64 s).
    RoadMapText map;
    map.nodes = {{1, 0, 0}, {2, 0.01, 0}, {3, 0.005, 0.004}};
    map.ways = {{1, {1, 2}, {{"highway", "residential"}}}, {2, {1, 3, 2}, {{"highway", "trunk"}}}};
    const std::vector<RoadPlace> ends = {{0, -0.0001}, {0.01, -0.0001}};
    EXPECT_EQ(cell(compute(map, ends), 1, 2), expectedCell(map, {{1, 2}}));
    settings.cost = RoadCost::Time;
    settings.unit = RoadUnit::Seconds;
    const RoadMatrix matrix = compute(map, ends);
    EXPECT_EQ(cell(matrix, 1, 2), expectedCell(map, {{1, 3, 2}}, 80 / 3.6L));
    EXPECT_EQ(cell(matrix, 2, 1), expectedCell(map, {{2, 3, 1}}, 80 / 3.6L));
    settings.speeds.drive[*driveHighwayIndex("trunk")] = 30;
    EXPECT_EQ(cell(compute(map, ends), 1, 2), expectedCell(map, {{1, 2}}, 30 / 3.6L));
}

TEST_F(ComputeRoadMatrix, CellsThatRoundToZeroAreCountedAndAUnitThatZeroesAllIsRefused) {
    // 111 m from 1 to 2, 1,001 m from 2 to 3; a fourth place on node 1.
    RoadMapText map;
    map.nodes = {{1, 0, 0}, {2, 0.001, 0}, {3, 0.01, 0}};
    map.ways = {{1, {1, 2, 3}, {{"highway", "primary"}}}};
    settings.unit = RoadUnit::Kilometres;
    const std::vector<RoadPlace> places = {{0, 0}, {0.001, 0}, {0.01, 0}, {0, 0}};
    const RoadMatrix matrix = compute(map, places);
    EXPECT_EQ(matrix.summary.zeroCells, 4);
    EXPECT_EQ(zeroCellsWarning(matrix.summary, settings),
              "4 cells off the diagonal round to 0 kilometres though their road distance is "
              "above 0: choose metres.");
    EXPECT_TRUE(roadSummaryText(matrix.summary, settings).ends_with("; cells rounded to 0: 4"));
    const std::pair<RoadUnit, std::string> refusals[] = {
        {RoadUnit::Miles,
         "road distance between nodes at different road nodes rounds to 0 "
         "miles: choose kilometres or metres"},
        {RoadUnit::Hours,
         "travel time between nodes at different road nodes rounds to 0 hours: "
         "choose minutes or seconds"},
        {RoadUnit::Seconds,
         "travel time between nodes at different road nodes rounds to 0 seconds"},
    };
    settings.speeds.drive[*driveHighwayIndex("primary")] = 1e6;
    for (const auto& [unit, message] : refusals) {
        settings.cost = unitRow(unit).cost;
        settings.unit = unit;
        EXPECT_EQ(failure(map, {places[0], places[1], places[3]}).first, "Every " + message);
    }
    // Places that share one road node leave nothing to keep apart.
    EXPECT_EQ(compute(map, {{0, 0}, {0, 0}}).summary.zeroCells, 0);
}

TEST_F(ComputeRoadMatrix, ACellBeyondThirtyTwoBitsAsksForALargerUnit) {
    // 108 segments back and forth over the North Pole, each from longitude 0 to 180 or
    // back: node k lies at latitude k / 100, so segment k spans 180 - (2k + 1) / 100
    // degrees, 19,321.2 degrees in all: 2,148,423,... m, just beyond 2,147,483,647.
    RoadMapText map;
    MapWay way{1, {}, {{"highway", "primary"}}};
    for (int k = 1; k <= 109; ++k) {
        map.nodes.push_back({k, k % 2 == 1 ? 0.0 : 180.0, k / 100.0});
        way.nodes.push_back(k);
    }
    map.ways = {way};
    const std::vector<RoadPlace> ends = {{0, -1}, {0, 1.09}};
    const long double total = map.pathMetres(way.nodes);
    ASSERT_GT(total, 2147483647.5L);
    EXPECT_EQ(failure(map, ends),
              std::make_pair(std::string("The road distance from node 1 to node 2 is too large "
                                         "for the distance matrix in metres: choose kilometres "
                                         "or miles"),
                             0));
    settings.unit = RoadUnit::Kilometres;
    const RoadMatrix matrix = compute(map, ends);
    EXPECT_EQ(cell(matrix, 1, 2), std::llrint(total / 1000));
    EXPECT_EQ(cell(matrix, 2, 1), std::llrint(total / 1000));
}

TEST_F(ComputeRoadMatrix, PairsNoRoadJoinsAreAnErrorUnlessGivenAValue) {
    std::vector<RoadPlace> places = townPlaces;
    places.push_back({0.0101, 0});
    EXPECT_EQ(failure(town, places),
              std::make_pair(std::string("8 pairs of nodes are joined by no road for driving; "
                                         "the first is row 1, column 5 (from node 1 to node 5)"),
                             0));
    settings.unreachableValue = -1;
    const RoadMatrix matrix = compute(town, places);
    for (int i = 1; i <= 5; ++i) {
        for (int j = 1; j <= 5; ++j) {
            if ((i == 5) != (j == 5)) {
                EXPECT_EQ(cell(matrix, i, j), -1) << i << ", " << j;
            }
        }
    }
    EXPECT_EQ(cell(matrix, 5, 5), 0);
    EXPECT_EQ(cell(matrix, 1, 2), expectedCell(town, {{1, 2, 3, 4}}));
    EXPECT_EQ(matrix.summary.unreachableCells, 8);
}

TEST_F(ComputeRoadMatrix, PlacesOffTheGlobeAreRefusedByNodeNumber) {
    const struct {
        RoadPlace place;
        const char* shown;
    } cases[] = {
        {{180.5, 0}, "longitude (X) 180.5 and latitude (Y) 0"},
        {{-180.0001, 0}, "longitude (X) -180.0001 and latitude (Y) 0"},
        {{0, 90.25}, "longitude (X) 0 and latitude (Y) 90.25"},
        {{0, -91}, "longitude (X) 0 and latitude (Y) -91"},
        {{NAN, 0}, "longitude (X) nan and latitude (Y) 0"},
    };
    for (const auto& bad : cases) {
        std::vector<RoadPlace> places = townPlaces;
        places.insert(places.begin() + 1, bad.place);
        EXPECT_EQ(failure(town, places),
                  std::make_pair("Node 2 is at " + std::string(bad.shown) +
                                     ": a longitude must lie from -180 to 180 and a latitude "
                                     "from -90 to 90",
                                 2));
    }
    // The edges themselves are on the globe.
    settings.unreachableValue = 0;
    EXPECT_NO_THROW(compute(town, {{180, 90}, {-180, -90}}));
}

TEST_F(ComputeRoadMatrix, ANodeFartherThanAllowedFromARoadIsRefused) {
    // The places lie 0.0002, 0.0002, 0.0001 and 0.0001 degrees from their road nodes.
    settings.maxSnapMetres = 20;
    EXPECT_EQ(failure(town, townPlaces),
              std::make_pair(std::string("Node 1 is 22.2 metres from the nearest road for "
                                         "driving, farther than the 20.0 metres allowed"),
                             1));
    settings.maxSnapMetres = 22.24;
    const RoadMatrix matrix = compute(town, townPlaces);
    EXPECT_EQ(matrix.summary.longestSnapNode, 1);
    EXPECT_EQ(roadSummaryText(matrix.summary, settings),
              "4 nodes; road distance in metres; 10 road nodes and 9 road segments for "
              "driving; longest snap: node 1, 22.2 metres; unreachable cells: 0; cells rounded "
              "to 0: 0");
}

TEST_F(ComputeRoadMatrix, TheSummaryFollowsTheSeparatorsAndNamesTheFillValue) {
    settings.separators = {',', "."};
    settings.unreachableValue = 99999;
    settings.mode = TravelMode::Walk;
    std::vector<RoadPlace> places = townPlaces;
    places.push_back({0.0101, 0});
    settings.cost = RoadCost::Time;
    settings.unit = RoadUnit::Seconds;
    EXPECT_EQ(roadSummaryText(compute(town, places).summary, settings),
              "5 nodes; travel time in seconds; 10 road nodes and 10 road segments for walking; "
              "longest snap: node 1, 22,2 metres; unreachable cells: 8 (set to 99999); cells "
              "rounded to 0: 0");
}

TEST_F(ComputeRoadMatrix, AMapWithoutRoadsOfTheModeIsRefused) {
    RoadMapText map;
    map.nodes = {{1, 0, 0}, {2, 0.001, 0}, {3, 0.002, 0}};
    map.ways = {{1, {1, 2}, {{"highway", "footway"}}},
                {2, {2, 3}, {{"highway", "primary"}, {"access", "no"}}}};
    EXPECT_EQ(failure(map, townPlaces),
              std::make_pair(std::string("The road map holds no roads for driving"), 0));
    settings.mode = TravelMode::Walk;
    EXPECT_EQ(compute(map, {{0, 0}, {0.001, 0}}).cells[1], expectedCell(map, {{1, 2}}));
}

TEST_F(ComputeRoadMatrix, ANodeTheExtractLacksBreaksItsWay) {
    RoadMapText map;
    map.nodes = {{1, 0, 0}, {2, 0.001, 0}, {3, 0.002, 0}, {4, 0.003, 0}};
    map.ways = {{1, {1, 2, 777, 3, 4}, {{"highway", "primary"}}}};
    EXPECT_EQ(failure(map, {{0, 0}, {0.003, 0}}),
              std::make_pair(std::string("2 pairs of nodes are joined by no road for driving; "
                                         "the first is row 1, column 2 (from node 1 to node 2)"),
                             0));
    map.ways.push_back({2, {2, 3}, {{"highway", "primary"}}});
    const RoadMatrix matrix = compute(map, {{0, 0}, {0.003, 0}});
    EXPECT_EQ(cell(matrix, 1, 2), expectedCell(map, {{1, 2, 3, 4}}));
    EXPECT_EQ(matrix.summary.segments, 3u);
}

}  // namespace

TEST_F(ComputeRoadMatrix, TheRoadsKeptForAMapHoldEachSegmentOnceInLinesBetweenJunctions) {
    // Driving, the ring and the island; walking, the footway makes 2 and 6 junctions.
    for (const auto& [mode, count, segments] :
         {std::tuple{TravelMode::Drive, 2u, 9u}, std::tuple{TravelMode::Walk, 4u, 10u}}) {
        settings.mode = mode;
        const RoadMatrix matrix = computeRoadMatrix(dir.write("map.osm", town.xml()), townPlaces,
                                                    settings, progress, RoadLinesWanted::Yes);
        ASSERT_TRUE(matrix.roads);
        EXPECT_EQ(matrix.roads->count(), count);
        EXPECT_EQ(matrix.roads->places.size(), segments + count);
    }
    EXPECT_FALSE(compute(town, townPlaces).roads);
}

// Past the size from which the index is built on the workers, every place still snaps to
// the road node a look at each of them finds.
TEST(RoadNodeIndex, AManyNodeMapSnapsAsALookAtEachNodeWould) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> within(0, 0.5);
    RoadGraph graph;
    for (int v = 0; v < 100'000; ++v) {
        graph.osmIds.push_back(v + 1);
        graph.longitudes.push_back(10 + within(random));
        graph.latitudes.push_back(50 + within(random));
    }
    setWorkerCount(2);
    const RoadNodeIndex index(graph);
    setWorkerCount(0);
    for (int place = 0; place < 50; ++place) {
        const double longitude = 10 + within(random);
        const double latitude = 50 + within(random);
        std::vector<double> metres;
        for (std::size_t v = 0; v < graph.vertexCount(); ++v) {
            metres.push_back(
                haversineMetres(longitude, latitude, graph.longitudes[v], graph.latitudes[v]));
        }
        EXPECT_EQ(index.nearest(longitude, latitude).vertex,
                  std::min_element(metres.begin(), metres.end()) - metres.begin());
    }
}

TEST(RoadErrorPlaces, eachErrorIsNamedWhereItArose) {
    const RoadProblemFiles files{"d.NET", "s.NET", 3, "t.osm"};
    const auto placed = [&](const std::function<void()>& failing) {
        try {
            locatingRoadErrors(files, failing);
        } catch (const RunTimeError& error) {
            return placedMessage(error);
        }
        return std::string("nothing thrown");
    };
    EXPECT_EQ(placed([] { throw RoadError("far", 3); }), "d.NET:3: far");
    EXPECT_EQ(placed([] { throw RoadError("far", 4); }), "s.NET:1: far");
    EXPECT_EQ(placed([] { throw RoadError("no roads"); }), "t.osm: no roads");
    EXPECT_EQ(placed([] { throw std::bad_alloc(); }), "t.osm: Out of memory");
    EXPECT_EQ(placed([] { throw RunTimeError("Cannot start a thread"); }),
              "t.osm: Cannot start a thread");
    EXPECT_EQ(placed([] { throw inOutErrorFor("Cannot open file", "x", "gone"); }),
              "x: Cannot open file \"x\": gone");
}
