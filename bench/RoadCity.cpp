// Writes a synthetic city as an OpenStreetMap extract (PBF or XML by the name given) and a
// problem in it: node files of DEMAND demand points and SITES candidate sites (800 and 101
// unless given) scattered over the city. The same arguments give the same files.
//
//   streets ROAD-NODES BUILDINGS: a city as extracts draw one. Streets meet about every 100 m
//     and carry four shape nodes between junctions; every fifth street is one way (each
//     other one of them against its drawing), every eighth a secondary road; service roads
//     lead off the streets into the blocks, most of them dead ends, some coming back to their
//     street, one in eight private. Exactly ROAD-NODES nodes lie on roads one may drive.
//     BUILDINGS buildings of five to eight corners stand in the blocks, with addresses, and
//     one node in a hundred of theirs is a tagged point; objects carry the version, time and
//     changeset that real extracts keep.
//   lattice SIDE: SIDE x SIDE road nodes about 100 m apart, each of them a junction: streets
//     along every row and column, every third row one way, every fifth column a primary road.
//
// usage: velmora_road_city streets ROAD-NODES BUILDINGS OUT DEMAND.NET SITES.NET [DEMAND SITES]
//        velmora_road_city lattice SIDE OUT DEMAND.NET SITES.NET [DEMAND SITES]

#include <osmium/builder/osm_object_builder.hpp>
#include <osmium/io/any_output.hpp>
#include <osmium/memory/buffer.hpp>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double West = 10.0;
constexpr double South = 50.0;
// About 100 m each way at latitude 50.
constexpr double LongitudeStep = 0.0014;
constexpr double LatitudeStep = 0.0009;

using Tags = std::vector<std::pair<std::string, std::string>>;

struct CityNode {
    double longitude;
    double latitude;
    Tags tags;
};

struct CityWay {
    std::vector<int64_t> refs;
    Tags tags;
};

// Nodes are numbered from 1 as they are added, ways likewise; written nodes first, as
// extracts are.
struct City {
    std::vector<CityNode> nodes;
    std::vector<CityWay> ways;
    double east = West;
    double north = South;

    int64_t node(double longitude, double latitude, Tags tags = {}) {
        nodes.push_back({longitude, latitude, std::move(tags)});
        return static_cast<int64_t>(nodes.size());
    }
    const CityNode& at(int64_t id) const { return nodes[static_cast<std::size_t>(id - 1)]; }
};

class CityWriter {
public:
    explicit CityWriter(const std::string& path)
        : m_writer(osmium::io::File(path), osmium::io::overwrite::allow) {}

    void write(const City& city) {
        for (std::size_t k = 0; k < city.nodes.size(); ++k) {
            const CityNode& node = city.nodes[k];
            {
                osmium::builder::NodeBuilder builder(m_buffer);
                stamp(builder.object(), static_cast<int64_t>(k) + 1);
                builder.set_location(osmium::Location(node.longitude, node.latitude));
                builder.set_user("");
                addTags(builder, node.tags);
            }
            commit();
        }
        for (std::size_t k = 0; k < city.ways.size(); ++k) {
            const CityWay& way = city.ways[k];
            {
                osmium::builder::WayBuilder builder(m_buffer);
                stamp(builder.object(), static_cast<int64_t>(k) + 1);
                builder.set_user("");
                {
                    osmium::builder::WayNodeListBuilder refs(builder);
                    for (int64_t ref : way.refs) {
                        refs.add_node_ref(ref);
                    }
                }
                addTags(builder, way.tags);
            }
            commit();
        }
        m_writer(std::move(m_buffer));
        m_writer.close();
    }

private:
    // Objects come in edits of up to 200 that share a time and a changeset, most of them
    // in their first version, as in real data.
    void stamp(osmium::OSMObject& object, int64_t id) {
        if (m_editLeft == 0) {
            m_editLeft = 1 + m_random() % 200;
            m_time = 1300000000 + m_random() % 400000000;
            m_changeset = 10000000 + m_random() % 130000000;
        }
        --m_editLeft;
        object.set_id(id);
        object.set_version(
            static_cast<osmium::object_version_type>(m_random() % 10 < 7 ? 1 : 2 + m_random() % 4));
        object.set_timestamp(osmium::Timestamp(m_time));
        object.set_changeset(static_cast<osmium::changeset_id_type>(m_changeset));
    }

    template <typename Builder>
    void addTags(Builder& builder, const Tags& tags) {
        if (tags.empty()) {
            return;
        }
        osmium::builder::TagListBuilder list(builder);
        for (const auto& [key, value] : tags) {
            list.add_tag(key, value);
        }
    }

    void commit() {
        m_buffer.commit();
        if (m_buffer.committed() > (1u << 22)) {
            m_writer(std::move(m_buffer));
            m_buffer = osmium::memory::Buffer(1u << 23, osmium::memory::Buffer::auto_grow::yes);
        }
    }

    osmium::io::Writer m_writer;
    osmium::memory::Buffer m_buffer{1u << 23, osmium::memory::Buffer::auto_grow::yes};
    std::mt19937 m_random{7};
    unsigned m_editLeft = 0;
    uint32_t m_time = 0;
    uint32_t m_changeset = 0;
};

class StreetCity {
public:
    StreetCity(long roadNodes, long buildings, std::mt19937& random) : m_random(random) {
        // Junctions and four shape nodes per block side: about 9 J^2 nodes; service roads
        // bring the rest.
        m_junctions = static_cast<int>(std::sqrt(static_cast<double>(roadNodes) / 10.0));
        streets();
        serviceRoads(roadNodes - m_roadNodes);
        for (long b = 0; b < buildings; ++b) {
            building();
        }
        city.east = West + (m_junctions - 1) * LongitudeStep;
        city.north = South + (m_junctions - 1) * LatitudeStep;
    }

    City city;

private:
    static constexpr int ShapeNodes = 4;
    static constexpr int BlocksPerWay = 5;

    double jitter(double size) {
        return std::uniform_real_distribution<double>(-size, size)(m_random);
    }
    int below(int count) { return static_cast<int>(m_random() % static_cast<unsigned>(count)); }

    int64_t roadNode(double longitude, double latitude) {
        ++m_roadNodes;
        return city.node(longitude, latitude);
    }

    std::string streetName(bool row, int index) const {
        return (row ? "Row " : "Column ") + std::to_string(index + 1) +
               (row ? " Street" : " Avenue");
    }

    Tags streetTags(bool row, int index) {
        Tags tags{{"highway", index % 8 == 3 ? "secondary" : "residential"},
                  {"name", streetName(row, index)}};
        if (index % 5 == 2) {
            tags.emplace_back("oneway", index % 10 == 2 ? "yes" : "-1");
        }
        if (index % 8 == 3) {
            tags.emplace_back("maxspeed", "50");
            tags.emplace_back("surface", "asphalt");
        }
        return tags;
    }

    // Junctions on a lattice; each street's shape nodes bend a little off the straight line.
    void streets() {
        const int j = m_junctions;
        m_junction.resize(static_cast<std::size_t>(j) * j);
        for (int row = 0; row < j; ++row) {
            for (int column = 0; column < j; ++column) {
                m_junction[static_cast<std::size_t>(row * j + column)] =
                    roadNode(West + column * LongitudeStep + jitter(0.00003),
                             South + row * LatitudeStep + jitter(0.00002));
            }
        }
        for (const bool row : {true, false}) {
            for (int index = 0; index < j; ++index) {
                const Tags tags = streetTags(row, index);
                std::vector<int64_t> refs;
                for (int along = 0; along < j; ++along) {
                    const int64_t junction =
                        row ? m_junction[static_cast<std::size_t>(index * j + along)]
                            : m_junction[static_cast<std::size_t>(along * j + index)];
                    if (!refs.empty()) {
                        const CityNode from = city.at(refs.back());
                        const CityNode to = city.at(junction);
                        std::vector<int64_t> side;
                        for (int k = 1; k <= ShapeNodes; ++k) {
                            const double t = static_cast<double>(k) / (ShapeNodes + 1);
                            side.push_back(refs.size());
                            refs.push_back(
                                roadNode(from.longitude + t * (to.longitude - from.longitude) +
                                             jitter(0.00001),
                                         from.latitude + t * (to.latitude - from.latitude) +
                                             jitter(0.00001)));
                        }
                        m_shapeNodes.push_back(refs[static_cast<std::size_t>(side[1])]);
                        m_shapeNodes.push_back(refs[static_cast<std::size_t>(side[3])]);
                    }
                    refs.push_back(junction);
                    if ((along % BlocksPerWay == 0 && along > 0) || along == j - 1) {
                        city.ways.push_back({refs, tags});
                        refs = {junction};
                    }
                }
            }
        }
    }

    // Into the blocks from shape nodes; one in four comes back to the node it left, one in
    // eight is private (its nodes then on no road one may drive). The last takes what is left
    // of the count.
    void serviceRoads(long nodesLeft) {
        while (nodesLeft > 0) {
            const int64_t start = m_shapeNodes[m_random() % m_shapeNodes.size()];
            const bool isPrivate = below(8) == 0;
            const bool loop = below(4) == 0;
            int length = 3 + below(6);
            if (!isPrivate) {
                length = static_cast<int>(std::min<long>(length, nodesLeft));
            }
            const CityNode from = city.at(start);
            const double dx = (below(2) == 0 ? 1 : -1) * 0.00012;
            const double dy = (below(2) == 0 ? 1 : -1) * 0.00008;
            std::vector<int64_t> refs{start};
            for (int k = 1; k <= length; ++k) {
                const double bend = loop && k > (length + 1) / 2 ? 0.00009 : 0.0;
                const double longitude =
                    from.longitude + dx * (loop ? std::min(k, length + 1 - k) : k) + bend;
                const double latitude = from.latitude + dy * k * 0.5 + jitter(0.000005);
                refs.push_back(isPrivate ? city.node(longitude, latitude)
                                         : roadNode(longitude, latitude));
            }
            if (loop) {
                refs.push_back(start);
            }
            Tags tags{{"highway", "service"}};
            if (isPrivate) {
                tags.emplace_back("access", "private");
            } else {
                nodesLeft -= length;
                if (below(3) == 0) {
                    tags.emplace_back("service", "driveway");
                }
            }
            city.ways.push_back({refs, tags});
        }
    }

    // Five to eight corners, each a little off the regular shape, around a point in a block,
    // an address, and now and then a point of interest among its nodes.
    void building() {
        const double x =
            West +
            (below(m_junctions - 1) + 0.15 + 0.7 * (m_random() % 1000) / 1000.0) * LongitudeStep;
        const double y =
            South +
            (below(m_junctions - 1) + 0.15 + 0.7 * (m_random() % 1000) / 1000.0) * LatitudeStep;
        const int corners = 5 + below(4);
        const double size = 0.00006 + 0.00006 * (m_random() % 100) / 100.0;
        std::vector<int64_t> refs;
        for (int k = 0; k < corners; ++k) {
            const double angle = 2 * 3.141592653589793 * k / corners;
            Tags tags;
            if (below(100) == 0) {
                tags = {{"amenity", below(2) == 0 ? "bench" : "waste_basket"}};
            }
            refs.push_back(city.node(x + size * std::cos(angle) + jitter(0.00001),
                                     y + size * 0.7 * std::sin(angle) + jitter(0.00001),
                                     std::move(tags)));
        }
        refs.push_back(refs.front());
        const int street = below(m_junctions);
        Tags tags{{"building", below(3) == 0 ? "house" : "yes"},
                  {"addr:street", streetName(below(2) == 0, street)},
                  {"addr:housenumber", std::to_string(1 + below(180))},
                  {"addr:postcode", std::to_string(10000 + below(90000))}};
        if (below(4) == 0) {
            tags.emplace_back("building:levels", std::to_string(1 + below(6)));
        }
        city.ways.push_back({refs, tags});
    }

    std::mt19937& m_random;
    int m_junctions = 0;
    long m_roadNodes = 0;
    std::vector<int64_t> m_junction;
    std::vector<int64_t> m_shapeNodes;
};

City latticeCity(int side) {
    City city;
    constexpr int WayLength = 10;
    const auto roadNode = [side](int row, int column) {
        return static_cast<int64_t>(row) * side + column + 1;
    };
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            city.node(West + column * LongitudeStep, South + row * LatitudeStep);
        }
    }
    for (int row = 0; row < side; ++row) {
        for (int start = 0; start + 1 < side; start += WayLength) {
            CityWay way{{}, {{"highway", "residential"}}};
            for (int column = start; column <= std::min(start + WayLength, side - 1); ++column) {
                way.refs.push_back(roadNode(row, column));
            }
            if (row % 3 == 1) {
                way.tags.emplace_back("oneway", row % 6 == 1 ? "yes" : "-1");
            }
            city.ways.push_back(way);
        }
    }
    for (int column = 0; column < side; ++column) {
        for (int start = 0; start + 1 < side; start += WayLength) {
            CityWay way{{}, {{"highway", column % 5 == 0 ? "primary" : "residential"}}};
            for (int row = start; row <= std::min(start + WayLength, side - 1); ++row) {
                way.refs.push_back(roadNode(row, column));
            }
            city.ways.push_back(way);
        }
    }
    city.east = West + (side - 1) * LongitudeStep;
    city.north = South + (side - 1) * LatitudeStep;
    return city;
}

std::string number(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void writeNodes(const std::string& path, int count, const City& city, std::mt19937& random,
                bool demand) {
    std::ofstream out(path, std::ios::binary);
    std::uniform_real_distribution<double> across(West, city.east);
    std::uniform_real_distribution<double> up(South, city.north);
    for (int i = 1; i <= count; ++i) {
        const double x = across(random);
        const double y = up(random);
        out << i << ' ' << number(x) << ' ' << number(y) << (demand ? " 10 0 1\r\n" : " 0 0 1\r\n");
    }
}

int usage() {
    std::fprintf(stderr,
                 "usage: velmora_road_city streets ROAD-NODES BUILDINGS OUT DEMAND.NET SITES.NET "
                 "[DEMAND SITES]\n"
                 "       velmora_road_city lattice SIDE OUT DEMAND.NET SITES.NET [DEMAND SITES]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool streets = !args.empty() && args[0] == "streets";
    const std::size_t files = streets ? 3 : 2;
    if (args.empty() || (!streets && args[0] != "lattice") ||
        (args.size() != files + 3 && args.size() != files + 5)) {
        return usage();
    }
    std::mt19937 random(20240611);
    const City city = streets ? StreetCity(std::stol(args[1]), std::stol(args[2]), random).city
                              : latticeCity(std::stoi(args[1]));
    CityWriter(args[files]).write(city);
    std::printf("%s: %zu nodes, %zu ways\n", args[files].c_str(), city.nodes.size(),
                city.ways.size());
    const bool counts = args.size() == files + 5;
    writeNodes(args[files + 1], counts ? std::stoi(args[files + 3]) : 800, city, random, true);
    writeNodes(args[files + 2], counts ? std::stoi(args[files + 4]) : 101, city, random, false);
    return 0;
}
