#include <gtest/gtest.h>

#include <osmium/io/any_input.hpp>
#include <osmium/io/any_output.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "platform/RunTimeError.h"
#include "platform/Workers.h"
#include "roads/RoadError.h"
#include "roads/RoadMatrix.h"
#include "tests/support/RoadMaps.h"
#include "tests/support/RoadOracle.h"
#include "tests/support/TestFiles.h"

namespace {

// The XML file written again by libosmium in another format.
void convert(const std::string& xml, const std::string& out, const std::string& format) {
    osmium::io::Reader reader(osmium::io::File(xml, "osm"));
    osmium::io::Writer writer(osmium::io::File(out, format), osmium::io::overwrite::allow);
    while (osmium::memory::Buffer buffer = reader.read()) {
        writer(std::move(buffer));
    }
    writer.close();
    reader.close();
}

class ReadRoadExtract : public ::testing::Test {
protected:
    RoadMatrix compute(const std::string& path) {
        return computeRoadMatrix(path, places, settings, progress);
    }

    std::string failure(const std::string& path) {
        try {
            compute(path);
        } catch (const RoadError& error) {
            return error.message();
        }
        return "nothing thrown";
    }

    TempDir dir;
    RoadSettings settings;
    SilentProgress progress;
    std::vector<RoadPlace> places = {
        {0.0000, -0.0002}, {0.0030, -0.0002}, {0.0020, -0.0001}, {0.0010, 0.0021}};
};

TEST_F(ReadRoadExtract, EveryFormReadsAsTheXmlDoes) {
    const std::string xml = dir.write("town.osm", townMap().xml());
    const std::vector<int32_t> expected = compute(xml).cells;
    const struct {
        const char* name;
        const char* format;
    } forms[] = {{"town.osm.pbf", "pbf"},
                 {"town.osm.bz2", "osm.bz2"},
                 {"town.osm.gz", "osm.gz"},
                 // Told by its bytes, not its name.
                 {"town.data", "pbf"},
                 {"town.pbf.osm", "osm.gz"}};
    for (const auto& form : forms) {
        const std::string path = dir.file(form.name);
        convert(xml, path, form.format);
        EXPECT_EQ(compute(path).cells, expected) << form.name;
    }
}

TEST_F(ReadRoadExtract, FilesThatAreNoExtractAreRefusedEachWithItsReason) {
    const std::string xml = dir.write("town.osm", townMap().xml());
    const std::string pbf = dir.file("town.osm.pbf");
    convert(xml, pbf, "pbf");
    const std::string bytes = readBytes(pbf);
    EXPECT_EQ(failure(dir.write("empty.osm.pbf", "")),
              "The road map is empty: it is not an OpenStreetMap file");
    const std::string reading = "The road map cannot be read as an OpenStreetMap file: ";
    EXPECT_TRUE(
        failure(dir.write("cut.osm.pbf", bytes.substr(0, bytes.size() / 2))).starts_with(reading));
    EXPECT_TRUE(failure(dir.write("head.osm.pbf", bytes.substr(0, 6))).starts_with(reading));
    EXPECT_EQ(failure(dir.write("text.osm", "just some words\n")).substr(0, 39),
              "The road map is not OpenStreetMap XML: ");
    EXPECT_TRUE(failure(dir.write("broken.osm", "<osm version=\"0.6\">\n<node id=\"1\"\n</osm>\n"))
                    .ends_with(" at line 3, column 0"));
    EXPECT_TRUE(failure(dir.write("bad.osm.gz", "\x1f\x8b not really")).starts_with(reading));
    EXPECT_EQ(failure(dir.write("none.osm", "<osm version=\"0.6\"></osm>\n")),
              "The road map holds no roads for driving");
    EXPECT_THROW(compute(dir.file("missing.osm")), InOutError);
    EXPECT_THROW(compute(dir.path()), InOutError);
}

// A grid city of 24 x 24 nodes with random one-way streets, gaps and nodes a little off the
// grid, and its distances by the plain search and snapping of the tests.
class GeneratedCity {
public:
    GeneratedCity() {
        std::mt19937 random(20240611);
        const auto jitter = [&] { return static_cast<double>(random() % 2000) * 1e-7; };
        for (int row = 0; row < Side; ++row) {
            for (int column = 0; column < Side; ++column) {
                map.nodes.push_back(
                    {id(row, column), 0.001 * column + jitter(), 0.001 * row + jitter()});
            }
        }
        int64_t wayId = 1;
        const auto street = [&](int64_t from, int64_t to) {
            switch (random() % 6) {
                case 0:
                    return;  // no street here
                case 1:
                    map.ways.push_back(
                        {wayId++, {from, to}, {{"highway", "residential"}, {"oneway", "yes"}}});
                    arcs.push_back({from, to});
                    return;
                case 2:
                    map.ways.push_back(
                        {wayId++, {from, to}, {{"highway", "residential"}, {"oneway", "-1"}}});
                    arcs.push_back({to, from});
                    return;
                default:
                    map.ways.push_back({wayId++, {from, to}, {{"highway", "residential"}}});
                    arcs.push_back({from, to});
                    arcs.push_back({to, from});
            }
        };
        for (int row = 0; row < Side; ++row) {
            for (int column = 0; column < Side; ++column) {
                if (column + 1 < Side) {
                    street(id(row, column), id(row, column + 1));
                }
                if (row + 1 < Side) {
                    street(id(row, column), id(row + 1, column));
                }
            }
        }
        for (int k = 0; k < 40; ++k) {
            places.push_back({static_cast<double>(random() % 240000) * 1e-7,
                              static_cast<double>(random() % 240000) * 1e-7});
        }
    }

    // Cell (i, j) rounded to metres; -1 where no road leads.
    std::vector<int32_t> expectedCells() const {
        std::vector<MapNode> onStreets;
        std::vector<OracleArc> lengths;
        for (const auto& [from, to] : arcs) {
            const MapNode& tail = node(from);
            const MapNode& head = node(to);
            onStreets.insert(onStreets.end(), {tail, head});
            lengths.push_back({index(from), index(to),
                               static_cast<double>(sphereMetres(tail.longitude, tail.latitude,
                                                                head.longitude, head.latitude))});
        }
        std::vector<uint32_t> snapped;
        for (const RoadPlace& place : places) {
            const MapNode& nearest =
                onStreets[nearestByScan(onStreets, place.longitude, place.latitude)];
            snapped.push_back(index(nearest.id));
        }
        std::vector<int32_t> cells;
        for (uint32_t from : snapped) {
            const std::vector<double> metres = plainSearch(map.nodes.size(), lengths, from);
            for (uint32_t to : snapped) {
                cells.push_back(
                    std::isinf(metres[to]) ? -1 : static_cast<int32_t>(std::llrint(metres[to])));
            }
        }
        return cells;
    }

    RoadMapText map;
    std::vector<RoadPlace> places;

private:
    static constexpr int Side = 24;
    static int64_t id(int row, int column) { return 1000 + row * Side + column; }
    static uint32_t index(int64_t id) { return static_cast<uint32_t>(id - 1000); }

    const MapNode& node(int64_t id) const { return map.nodes[index(id)]; }

    std::vector<std::pair<int64_t, int64_t>> arcs;
};

TEST_F(ReadRoadExtract, AGeneratedCityMatchesAPlainSearchWithOneWorkerOrTwo) {
    const GeneratedCity city;
    const std::string path = dir.write("city.osm", city.map.xml());
    places = city.places;
    settings.unreachableValue = -1;
    const std::vector<int32_t> expected = city.expectedCells();
    ASSERT_GT(std::count(expected.begin(), expected.end(), -1), 0);
    for (unsigned workers : {1u, 2u}) {
        setWorkerCount(workers);
        EXPECT_EQ(compute(path).cells, expected) << workers << " workers";
    }
    setWorkerCount(0);
}

}  // namespace
