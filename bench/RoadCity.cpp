// Writes a synthetic grid city as an OpenStreetMap extract (PBF or XML by the name given),
// and a problem in it: SIDE x
// SIDE road nodes about 100 m apart (streets along every row and column, every third row
// one-way, every fifth column a primary road), BUILDINGS buildings between the streets (nodes
// on no road, as real extracts are full of), and node files of DEMAND demand points and
// SITES candidate sites scattered over the city. The same arguments give the same files.
//
// usage: velmora_road_city SIDE BUILDINGS OUT.osm.pbf DEMAND.NET SITES.NET [DEMAND SITES]

#include <osmium/builder/osm_object_builder.hpp>
#include <osmium/io/any_output.hpp>
#include <osmium/memory/buffer.hpp>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr double West = 10.0;
constexpr double South = 50.0;
// About 100 m each way at latitude 50.
constexpr double LongitudeStep = 0.0014;
constexpr double LatitudeStep = 0.0009;
constexpr int WayLength = 10;

class CityWriter {
public:
    explicit CityWriter(const std::string& path)
        : m_writer(osmium::io::File(path), osmium::io::overwrite::allow) {}

    void node(int64_t id, double longitude, double latitude) {
        {
            osmium::builder::NodeBuilder builder(m_buffer);
            builder.set_id(id);
            builder.set_version(1);
            builder.set_location(osmium::Location(longitude, latitude));
        }
        commit();
    }

    void way(int64_t id, const std::vector<int64_t>& refs,
             const std::vector<std::pair<const char*, const char*>>& tags) {
        {
            osmium::builder::WayBuilder builder(m_buffer);
            builder.set_id(id);
            builder.set_version(1);
            {
                osmium::builder::WayNodeListBuilder nodes(builder);
                for (int64_t ref : refs) {
                    nodes.add_node_ref(ref);
                }
            }
            osmium::builder::TagListBuilder tagList(builder);
            for (const auto& [key, value] : tags) {
                tagList.add_tag(key, value);
            }
        }
        commit();
    }

    void close() {
        m_writer(std::move(m_buffer));
        m_writer.close();
    }

private:
    void commit() {
        m_buffer.commit();
        if (m_buffer.committed() > (1u << 22)) {
            m_writer(std::move(m_buffer));
            m_buffer = osmium::memory::Buffer(1u << 23, osmium::memory::Buffer::auto_grow::yes);
        }
    }

    osmium::io::Writer m_writer;
    osmium::memory::Buffer m_buffer{1u << 23, osmium::memory::Buffer::auto_grow::yes};
};

std::string number(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void writeNodes(const std::string& path, int count, int side, std::mt19937& random, bool demand) {
    std::ofstream out(path, std::ios::binary);
    std::uniform_real_distribution<double> along(0.0, side - 1.0);
    for (int i = 1; i <= count; ++i) {
        const double x = West + along(random) * LongitudeStep;
        const double y = South + along(random) * LatitudeStep;
        out << i << ' ' << number(x) << ' ' << number(y) << (demand ? " 10 0 1\r\n" : " 0 0 1\r\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6 && argc != 8) {
        std::fprintf(stderr,
                     "usage: velmora_road_city SIDE BUILDINGS OUT.osm.pbf DEMAND.NET SITES.NET "
                     "[DEMAND SITES]\n");
        return 2;
    }
    const int side = std::stoi(argv[1]);
    const int buildings = std::stoi(argv[2]);
    const int demandCount = argc == 8 ? std::stoi(argv[6]) : 800;
    const int siteCount = argc == 8 ? std::stoi(argv[7]) : 101;
    std::mt19937 random(20240611);

    CityWriter city(argv[3]);
    const auto roadNode = [side](int row, int column) {
        return static_cast<int64_t>(row) * side + column + 1;
    };
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            city.node(roadNode(row, column), West + column * LongitudeStep,
                      South + row * LatitudeStep);
        }
    }
    // Buildings: four corners inside a block, on no road.
    const int64_t firstBuildingNode = static_cast<int64_t>(side) * side + 1;
    std::uniform_int_distribution<int> block(0, side - 2);
    std::vector<std::vector<int64_t>> outlines;
    for (int b = 0; b < buildings; ++b) {
        const double x = West + (block(random) + 0.3) * LongitudeStep;
        const double y = South + (block(random) + 0.3) * LatitudeStep;
        const int64_t first = firstBuildingNode + 4 * static_cast<int64_t>(b);
        city.node(first, x, y);
        city.node(first + 1, x + 0.0003, y);
        city.node(first + 2, x + 0.0003, y + 0.0002);
        city.node(first + 3, x, y + 0.0002);
        outlines.push_back({first, first + 1, first + 2, first + 3, first});
    }

    int64_t wayId = 1;
    for (int row = 0; row < side; ++row) {
        for (int start = 0; start + 1 < side; start += WayLength) {
            std::vector<int64_t> refs;
            for (int column = start; column <= std::min(start + WayLength, side - 1); ++column) {
                refs.push_back(roadNode(row, column));
            }
            if (row % 3 == 1) {
                city.way(wayId++, refs,
                         {{"highway", "residential"}, {"oneway", row % 6 == 1 ? "yes" : "-1"}});
            } else {
                city.way(wayId++, refs, {{"highway", "residential"}});
            }
        }
    }
    for (int column = 0; column < side; ++column) {
        for (int start = 0; start + 1 < side; start += WayLength) {
            std::vector<int64_t> refs;
            for (int row = start; row <= std::min(start + WayLength, side - 1); ++row) {
                refs.push_back(roadNode(row, column));
            }
            city.way(wayId++, refs, {{"highway", column % 5 == 0 ? "primary" : "residential"}});
        }
    }
    for (const auto& outline : outlines) {
        city.way(wayId++, outline, {{"building", "yes"}});
    }
    city.close();

    writeNodes(argv[4], demandCount, side, random, true);
    writeNodes(argv[5], siteCount, side, random, false);
    return 0;
}
