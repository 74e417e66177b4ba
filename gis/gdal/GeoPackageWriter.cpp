#include <cpl_vsi.h>
#include <ogrsf_frmts.h>

#include <atomic>
#include <stdexcept>

#include "gis/gdal/GdalLayers.h"
#include "gis/gdal/GdalSupport.h"

namespace {

// The GeoPackage is built in GDAL's memory files and handed over as bytes, so the caller
// writes it as every file is written: complete or not at all.
class MemoryFile {
public:
    MemoryFile() {
        static std::atomic<unsigned> count{0};
        m_path = "/vsimem/velmora-coverage-" + std::to_string(++count) + ".gpkg";
    }
    ~MemoryFile() { VSIUnlink(m_path.c_str()); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const std::string& path() const { return m_path; }
    std::string bytes() const {
        vsi_l_offset size = 0;
        const GByte* data = VSIGetMemFileBuffer(m_path.c_str(), &size, FALSE);
        return data ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
    }

private:
    std::string m_path;
};

void addField(OGRLayer& layer, const char* name, OGRFieldType type,
              OGRFieldSubType subType = OFSTNone) {
    OGRFieldDefn field(name, type);
    field.SetSubType(subType);
    if (layer.CreateField(&field) != OGRERR_NONE) {
        throw std::runtime_error(std::string("cannot add the field ") + name);
    }
}

template <typename T>
void setOptional(OGRFeature& feature, const char* field, const std::optional<T>& value) {
    if (value) {
        feature.SetField(field, *value);
    } else {
        feature.SetFieldNull(feature.GetFieldIndex(field));
    }
}

void addNodes(GDALDataset& dataset, const CoverageLayers& layers, OGRSpatialReference* crs,
              const GdalMessages& messages) {
    const std::string description = "DESCRIPTION=" + layers.description;
    const char* const options[] = {description.c_str(), nullptr};
    OGRLayer* nodes = dataset.CreateLayer("nodes", crs, wkbPoint, const_cast<char**>(options));
    if (!nodes) {
        messages.fail("cannot create the layer nodes");
    }
    addField(*nodes, "node", OFTInteger);
    addField(*nodes, "kind", OFTString);
    addField(*nodes, "demand1", OFTReal);
    addField(*nodes, "demand2", OFTReal);
    addField(*nodes, "weighted_demand", OFTReal);
    addField(*nodes, "covered", OFTInteger, OFSTBoolean);
    addField(*nodes, "nearest_node", OFTInteger);
    addField(*nodes, "nearest_distance", OFTInteger);
    addField(*nodes, "isolated", OFTInteger, OFSTBoolean);
    for (const CoverageNode& node : layers.nodes) {
        OGRFeature feature(nodes->GetLayerDefn());
        feature.SetField("node", node.node);
        feature.SetField("kind", node.demandNode ? "demand node" : "candidate site");
        setOptional(feature, "demand1", node.demand1);
        setOptional(feature, "demand2", node.demand2);
        setOptional(feature, "weighted_demand", node.weightedDemand);
        setOptional(feature, "covered",
                    node.covered ? std::optional<int>(*node.covered) : std::nullopt);
        setOptional(feature, "nearest_node", node.nearestNode);
        setOptional(feature, "nearest_distance", node.nearestDistance);
        setOptional(feature, "isolated",
                    node.covered ? std::optional<int>(!*node.covered) : std::nullopt);
        OGRPoint point(node.x, node.y);
        feature.SetGeometry(&point);
        if (nodes->CreateFeature(&feature) != OGRERR_NONE) {
            messages.fail("cannot write node " + std::to_string(node.node));
        }
    }
}

void addRoads(GDALDataset& dataset, const std::vector<std::vector<LonLat>>& roads,
              OGRSpatialReference* crs, const GdalMessages& messages) {
    OGRLayer* layer = dataset.CreateLayer("roads", crs, wkbLineString, nullptr);
    if (!layer) {
        messages.fail("cannot create the layer roads");
    }
    for (const std::vector<LonLat>& road : roads) {
        OGRFeature feature(layer->GetLayerDefn());
        OGRLineString line;
        for (const LonLat& point : road) {
            line.addPoint(point.longitude, point.latitude);
        }
        feature.SetGeometry(&line);
        if (layer->CreateFeature(&feature) != OGRERR_NONE) {
            messages.fail("cannot write a road");
        }
    }
}

}  // namespace

std::string GdalLayers::coverageGeoPackage(const CoverageLayers& layers) {
    GdalMessages messages;
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
    if (!driver) {
        throw std::runtime_error("GDAL has no GeoPackage driver");
    }
    const MemoryFile file;
    {
        Dataset dataset(driver->Create(file.path().c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        if (!dataset) {
            messages.fail("cannot create a GeoPackage");
        }
        OGRSpatialReference wgs84;
        wgs84.importFromEPSG(4326);
        useGisAxisOrder(wgs84);
        // Coordinates of no known system are the GeoPackage's undefined Cartesian ones, not
        // the undefined geographic ones GDAL gives a layer without any.
        OGRSpatialReference undefined;
        undefined.SetFromUserInput("LOCAL_CS[\"Undefined Cartesian SRS\"]");
        OGRSpatialReference* crs = layers.wgs84 ? &wgs84 : &undefined;
        // One transaction: each feature on its own would be written to the file one by one.
        if (dataset->StartTransaction() != OGRERR_NONE) {
            messages.fail("cannot write the GeoPackage");
        }
        addNodes(*dataset, layers, crs, messages);
        if (layers.roads) {
            addRoads(*dataset, *layers.roads, &wgs84, messages);
        }
        if (dataset->CommitTransaction() != OGRERR_NONE) {
            messages.fail("cannot write the GeoPackage");
        }
    }
    // Closing writes what the transaction left, and may fail doing it.
    std::string bytes = file.bytes();
    if (messages.failed() || bytes.empty()) {
        messages.fail("cannot write the GeoPackage");
    }
    return bytes;
}
