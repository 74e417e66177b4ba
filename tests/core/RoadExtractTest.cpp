#include <gtest/gtest.h>

#include <bzlib.h>
#include <zlib.h>

#include <osmium/io/any_input.hpp>
#include <osmium/io/any_output.hpp>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <limits>
#include <random>

#include "platform/RunTimeError.h"
#include "platform/Workers.h"
#include "roads/RoadError.h"
#include "roads/RoadMatrix.h"
#include "roads/XmlTokenLimit.h"
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

// Each part compressed on its own, one gzip member or bzip2 stream after another, as pbzip2
// and `cat a.gz b.gz` write them.
std::string gzipped(const std::vector<std::string>& parts) {
    TempDir folder;
    for (const std::string& part : parts) {
        const gzFile file = gzopen(folder.file("z").c_str(), "ab9");
        gzwrite(file, part.data(), static_cast<unsigned>(part.size()));
        gzclose(file);
    }
    return readBytes(folder.file("z"));
}

std::string bzipped(const std::vector<std::string>& parts) {
    std::string bytes;
    for (const std::string& part : parts) {
        std::string out(part.size() + part.size() / 100 + 600, '\0');
        auto size = static_cast<unsigned>(out.size());
        BZ2_bzBuffToBuffCompress(out.data(), &size, const_cast<char*>(part.data()),
                                 static_cast<unsigned>(part.size()), 9, 0, 0);
        bytes.append(out.data(), size);
    }
    return bytes;
}

// The text in pieces of `size` bytes.
std::vector<std::string> pieces(const std::string& text, std::size_t size) {
    std::vector<std::string> parts;
    for (std::size_t at = 0; at < text.size(); at += size) {
        parts.push_back(text.substr(at, size));
    }
    return parts;
}

// Records how far the reading of the road map came, and gives up once it has begun when told
// to.
class WatchedProgress : public TaskProgress {
public:
    explicit WatchedProgress(bool giveUp) : m_giveUp(giveUp) {}
    void stage(const std::string&, long long) override {}
    void advance() override {}
    void advanceTo(long long done) override {
        reached = done;
        ++advances;
    }
    bool cancelled() const override { return m_giveUp && advances > 0; }

    std::atomic<long long> reached{0};
    std::atomic<int> advances{0};

private:
    bool m_giveUp;
};

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
    const auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const auto openBefore = openFiles();
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
    EXPECT_EQ(failure(dir.write("bad.osm.gz", "\x1f\x8b not really")),
              "The road map is a damaged gzip file: unknown compression method");
    for (const std::string& form : {std::string("gzip"), std::string("bzip2")}) {
        const std::string text = townMap().xml();
        const std::string bytes = form == "gzip" ? gzipped({text}) : bzipped({text});
        std::string flipped = bytes;
        flipped[flipped.size() - 6] ^= 0x10;
        EXPECT_EQ(
            failure(dir.write("cut." + form, bytes.substr(0, bytes.size() - 20))),
            "The road map is a truncated " + form + " file: it ends within its compressed data");
        EXPECT_TRUE(failure(dir.write("flipped." + form, flipped))
                        .starts_with("The road map is a damaged " + form + " file: "))
            << form;
    }
    EXPECT_EQ(failure(dir.write("none.osm", "<osm version=\"0.6\"></osm>\n")),
              "The road map holds no roads for driving");
    EXPECT_THROW(compute(dir.file("missing.osm")), InOutError);
    EXPECT_THROW(compute(dir.path()), InOutError);
    EXPECT_EQ(openFiles(), openBefore);
}

TEST_F(ReadRoadExtract, CompressedFilesAreReadThroughEveryStreamAsZcatAndBzcatReadThem) {
    const std::string xml = townMap().xml();
    const std::vector<int32_t> expected = compute(dir.write("town.osm", xml)).cells;
    // Streams ending within tags, and several of them in one read of the file.
    const std::vector<std::string> parts = pieces(xml, 100);
    const std::string files[] = {
        dir.write("town.osm.gz", gzipped(parts)),
        dir.write("town.osm.bz2", bzipped(parts)),
        dir.write("two.osm.bz2", bzipped(pieces(xml, xml.size() / 2 + 1))),
        // Bytes after the last member that start none are ignored, as zcat ignores them.
        dir.write("padded.osm.gz", gzipped({xml}) + std::string(512, '\0')),
    };
    for (const std::string& file : files) {
        EXPECT_EQ(compute(file).cells, expected) << file;
    }
}

TEST_F(ReadRoadExtract, APieceOfXmlOverAMebibyteIsRefused) {
    const std::string over(XmlTokenLimit::MaxToken + 1, 'a');
    const std::string head = "<osm version=\"0.6\">\n<node id=\"1\" lat=\"1\" lon=\"1\">\n";
    const std::string refused = "The road map is not OpenStreetMap XML: ";
    const struct {
        std::string xml;
        std::string message;
    } cases[] = {
        {head + "<tag k=\"a\" v=\"" + over + "\"/>",
         "an attribute value of more than 1 MiB at line 3"},
        {head + "<tag " + over + "/>", "a tag of more than 1 MiB at line 3"},
        {head + std::string(XmlTokenLimit::MaxToken + 1, ' '),
         "a text of more than 1 MiB at line 2"},
        {"<!-- -->" + head + "<!-- <a> -> > " + over + " -->",
         "a comment of more than 1 MiB at line 3"},
        {"<?xml " + over + "?>", "a processing instruction of more than 1 MiB at line 1"},
    };
    for (const auto& bad : cases) {
        EXPECT_EQ(failure(dir.write("big.osm", bad.xml)), refused + bad.message);
        EXPECT_EQ(failure(dir.write("big.osm.gz", gzipped({bad.xml}))), refused + bad.message);
    }
    // A comment as long as a piece may be, in a town that reads as ever.
    std::string town = townMap().xml();
    const std::string comment = "<!--" + std::string(XmlTokenLimit::MaxToken - 7, 'c') + "-->";
    const std::vector<int32_t> expected = compute(dir.write("town.osm", town)).cells;
    EXPECT_EQ(compute(dir.write("long.osm", town.insert(town.find("<node"), comment))).cells,
              expected);
}

TEST_F(ReadRoadExtract, ACompressionBombIsRefusedBeforeItExpands) {
    std::string nodes;
    while (nodes.size() < 900000) {
        nodes += "<node id=\"1\" lat=\"0\" lon=\"0\"/>";
    }
    const std::string stream = bzipped({nodes});
    std::string bomb = bzipped({"<osm version=\"0.6\">"});
    for (int k = 0; k < 200; ++k) {
        bomb += stream;
    }
    EXPECT_EQ(failure(dir.write("bomb.osm.bz2", bomb)),
              "The road map expands to more than 1000 times its size as a bzip2 file: it is not "
              "an extract but a compression bomb");
}

TEST_F(ReadRoadExtract, TheReadingIsReportedByItsPlaceInTheFileAndStopsWhenGivenUp) {
    WatchedProgress watched(false);
    computeRoadMatrix(dir.write("town.osm", townMap().xml()), places, settings, watched);
    EXPECT_EQ(watched.reached, 1000);

    // A hundred MiB of nodes in gzip members of one MiB: given up once begun, the reading
    // stops long before its end.
    std::string nodes;
    for (int id = 1; nodes.size() < (std::size_t{1} << 20); ++id) {
        nodes += "<node id=\"" + std::to_string(id) + "\" lat=\"0\" lon=\"0\"/>\n";
    }
    const std::string member = gzipped({nodes});
    std::string many = gzipped({"<osm version=\"0.6\">\n"});
    for (int k = 0; k < 100; ++k) {
        many += member;
    }
    many += gzipped({"</osm>\n"});
    WatchedProgress givingUp(true);
    EXPECT_THROW(computeRoadMatrix(dir.write("many.osm.gz", many), places, settings, givingUp),
                 TaskCancelled);
    EXPECT_LT(givingUp.reached, 500);

    // A PBF of several blocks stops at the block after the one given up in.
    std::string xml = "<osm version=\"0.6\">\n";
    for (int id = 1; id <= 20000; ++id) {
        xml += "<node id=\"" + std::to_string(id) + "\" lat=\"0\" lon=\"0\"/>\n";
    }
    convert(dir.write("blocks.osm", xml + "</osm>\n"), dir.file("blocks.osm.pbf"), "pbf");
    WatchedProgress givingUpOnBlocks(true);
    EXPECT_THROW(computeRoadMatrix(dir.file("blocks.osm.pbf"), places, settings, givingUpOnBlocks),
                 TaskCancelled);
    EXPECT_EQ(givingUpOnBlocks.advances, 1);
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
