#include "roads/RoadExtract.h"

#include <osmium/handler.hpp>
#include <osmium/memory/buffer.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/way.hpp>
#include <osmium/visitor.hpp>

#include <algorithm>

#include "roads/ExtractFile.h"
#include "roads/RoadTags.h"

namespace {

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

}  // namespace

RoadGraph readRoadGraph(const std::string& path, const RoadSettings& settings,
                        TaskProgress& progress) {
    const ExtractFile extract(path, settings.roadMapInput);
    ExtractCollector collector(settings);
    // Room for the nodes, so the list is not moved as it grows; pages never written take no
    // memory.
    collector.nodes.reserve(std::min(extract.nodesToReserve(), MaxNodesReserved));
    extract.read(progress,
                 [&](const osmium::memory::Buffer& buffer) { osmium::apply(buffer, collector); });

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
