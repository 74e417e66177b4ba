#include "roads/RoadExtract.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <osmium/handler.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/io/error.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/way.hpp>
#include <osmium/thread/pool.hpp>
#include <osmium/visitor.hpp>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <optional>

#include "platform/Workers.h"
#include "roads/InMemoryFile.h"
#include "roads/RoadError.h"
#include "roads/RoadTags.h"

namespace {

// The whole file in one pass, so a pipe reads as well as a file.
std::string readWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw inOutErrorFor("Cannot open file", path, errno);
    }
    // A file's size is known, so it is read without copying; a pipe's grows as it comes.
    struct stat status {};
    std::string bytes;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        bytes.resize(static_cast<std::size_t>(status.st_size) + 1);
    }
    std::size_t used = 0;
    for (;;) {
        if (bytes.size() == used) {
            bytes.resize(std::max<std::size_t>(bytes.size() * 2, 1u << 20));
        }
        const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            throw inOutErrorFor("Cannot read file", path, error);
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(used);
    return bytes;
}

// The format name libosmium knows the bytes by.
std::string formatOf(const std::string& bytes) {
    // Not empty.
    if (bytes.starts_with("\x1f\x8b")) {
        return "osm.gz";
    }
    if (bytes.starts_with("BZh")) {
        return "osm.bz2";
    }
    // A PBF file starts with the length of its first blob header, a few bytes long, so its
    // first byte is 0, which no text file starts with.
    if (bytes.front() == '\0') {
        return "pbf";
    }
    return "osm";
}

// At most 4 GiB of places reserved, however large the file.
constexpr std::size_t MaxNodesReserved = std::size_t{1} << 28;

struct ExtractNode {
    int64_t id;
    osmium::Location location;
};

struct ExtractWay {
    std::size_t firstRef;
    std::size_t endRef;
    RoadDirection direction;
    RoadKmh kmh;
};

// Keeps every node's place, since ways may name nodes read before them, and the road ways
// of the mode with their node lists.
class ExtractCollector : public osmium::handler::Handler {
public:
    explicit ExtractCollector(const RoadSettings& settings) : m_settings(settings) {}

    void node(const osmium::Node& node) { nodes.push_back({node.id(), node.location()}); }

    void way(const osmium::Way& way) {
        const TravelMode mode = m_settings.mode;
        if (!isRoad(way.tags(), mode)) {
            return;
        }
        const std::size_t first = refs.size();
        for (const osmium::NodeRef& ref : way.nodes()) {
            refs.push_back(ref.ref());
        }
        // Lengths need no speeds, so their tags are not read.
        const RoadKmh kmh = m_settings.cost == RoadCost::Time
                                ? roadKmh(way.tags(), mode, m_settings.speeds)
                                : RoadKmh{0, 0};
        ways.push_back({first, refs.size(), roadDirection(way.tags(), mode), kmh});
    }

    std::vector<ExtractNode> nodes;
    std::vector<int64_t> refs;
    std::vector<ExtractWay> ways;

private:
    const RoadSettings& m_settings;
};

void collect(const std::string& bytes, ExtractCollector& collector, TaskProgress& progress) {
    const std::string format = formatOf(bytes);
    // libosmium takes a PBF held in memory as one piece and copies all that is left of it
    // after each block it takes off the front; from a file it reads block by block.
    const std::optional<InMemoryFile> pbf =
        format == "pbf" ? InMemoryFile::of(bytes) : std::nullopt;
    const osmium::io::File file = pbf ? osmium::io::File(pbf->name(), format)
                                      : osmium::io::File(bytes.data(), bytes.size(), format);
    // Its own decoding threads, as many as the searches use; libosmium caps a large count
    // itself but reads a negative one as cores to leave free.
    osmium::thread::Pool pool(
        static_cast<int>(std::min<unsigned>(workerCount(), std::numeric_limits<int>::max())));
    osmium::io::Reader reader(file, osmium::osm_entity_bits::node | osmium::osm_entity_bits::way,
                              osmium::io::read_meta::no, pool);
    while (osmium::memory::Buffer buffer = reader.read()) {
        progress.checkCancelled();
        osmium::apply(buffer, collector);
    }
    reader.close();
}

// libosmium's reasons as the user reads them.
void collectOrExplain(const std::string& bytes, ExtractCollector& collector,
                      TaskProgress& progress) {
    if (bytes.empty()) {
        throw RoadError("The road map is empty: it is not an OpenStreetMap file");
    }
    try {
        collect(bytes, collector, progress);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const osmium::xml_error& error) {
        throw RoadError("The road map is not OpenStreetMap XML: " + error.error_string +
                        " at line " + std::to_string(error.line) + ", column " +
                        std::to_string(error.column));
    } catch (const std::exception& error) {
        throw RoadError(std::string("The road map cannot be read as an OpenStreetMap file: ") +
                        error.what());
    }
}

}  // namespace

RoadGraph readRoadGraph(const std::string& path, const RoadSettings& settings,
                        TaskProgress& progress) {
    return readRoadGraphFrom(readWholeFile(path), settings, progress);
}

RoadGraph readRoadGraphFrom(const std::string& bytes, const RoadSettings& settings,
                            TaskProgress& progress) {
    ExtractCollector collector(settings);
    // Room for more nodes than an extract of this size holds, so the list is not moved as it
    // grows; pages never written take no memory.
    collector.nodes.reserve(std::min<std::size_t>(bytes.size() / 4, MaxNodesReserved));
    collectOrExplain(bytes, collector, progress);

    // By id, the last of repeated ids winning, so that each id names one place.
    std::vector<ExtractNode>& nodes = collector.nodes;
    const auto byId = [](const ExtractNode& a, const ExtractNode& b) { return a.id < b.id; };
    if (!std::is_sorted(nodes.begin(), nodes.end(), byId)) {
        std::stable_sort(nodes.begin(), nodes.end(), byId);
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (i + 1 < nodes.size() && nodes[i + 1].id == nodes[i].id) {
            continue;
        }
        nodes[kept++] = nodes[i];
    }
    nodes.resize(kept);
    progress.checkCancelled();

    // A node the extract lacks, or holds without a valid place, breaks its way.
    constexpr uint32_t None = UINT32_MAX;
    const auto indexOf = [&](int64_t id) -> uint32_t {
        const auto found =
            std::lower_bound(nodes.begin(), nodes.end(), ExtractNode{id, osmium::Location()}, byId);
        if (found == nodes.end() || found->id != id || !found->location.valid()) {
            return None;
        }
        return static_cast<uint32_t>(found - nodes.begin());
    };
    std::vector<uint32_t> vertexOf(nodes.size(), None);
    std::vector<int64_t> ids;
    std::vector<double> longitudes;
    std::vector<double> latitudes;
    const auto vertex = [&](uint32_t index) {
        if (vertexOf[index] == None) {
            vertexOf[index] = static_cast<uint32_t>(ids.size());
            ids.push_back(nodes[index].id);
            longitudes.push_back(nodes[index].location.lon());
            latitudes.push_back(nodes[index].location.lat());
        }
        return vertexOf[index];
    };
    std::vector<RoadSegment> segments;
    for (const ExtractWay& way : collector.ways) {
        const bool forward = way.direction != RoadDirection::Backward;
        const bool backward = way.direction != RoadDirection::Forward;
        for (std::size_t r = way.firstRef; r + 1 < way.endRef; ++r) {
            const uint32_t from = indexOf(collector.refs[r]);
            const uint32_t to = indexOf(collector.refs[r + 1]);
            // A node repeated in a row makes no segment.
            if (from == None || to == None || from == to) {
                continue;
            }
            segments.push_back(
                {vertex(from), vertex(to), forward, backward, way.kmh.forward, way.kmh.backward});
        }
    }
    progress.checkCancelled();
    return buildRoadGraph(std::move(ids), std::move(longitudes), std::move(latitudes), segments,
                          settings.cost);
}
