#include "tests/support/GisTestLayers.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <memory>
#include <stdexcept>

namespace {

struct Closer {
    void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<GDALDataset, Closer>;

OGRFieldType fieldType(char type) {
    return type == 'i' ? OFTInteger : type == 'r' ? OFTReal : OFTString;
}

void check(bool done, const std::string& what) {
    if (!done) {
        throw std::runtime_error(what + ": " + CPLGetLastErrorMsg());
    }
}

}  // namespace

void writeTestLayers(const std::string& path, const std::string& driverName,
                     const std::vector<TestLayer>& layers) {
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName.c_str());
    check(driver, driverName);
    Dataset dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    check(dataset != nullptr, path);
    for (const TestLayer& layer : layers) {
        OGRSpatialReference crs;
        if (!layer.crs.empty()) {
            check(crs.SetFromUserInput(layer.crs.c_str()) == OGRERR_NONE, layer.crs);
            crs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        }
        // The features' one type; mixed ones make a layer of any geometry.
        std::optional<OGRwkbGeometryType> type;
        for (const auto& feature : layer.features) {
            if (!feature.wkt.empty()) {
                OGRGeometry* geometry = nullptr;
                OGRGeometryFactory::createFromWkt(feature.wkt.c_str(), nullptr, &geometry);
                check(geometry, feature.wkt);
                const OGRwkbGeometryType own = geometry->getGeometryType();
                type = type.value_or(own) == own ? own : wkbUnknown;
                OGRGeometryFactory::destroyGeometry(geometry);
            }
        }
        OGRLayer* created = dataset->CreateLayer(
            layer.name.c_str(), layer.crs.empty() ? nullptr : &crs, type.value_or(wkbUnknown));
        check(created, layer.name);
        for (const auto& [name, fieldKind] : layer.fields) {
            OGRFieldDefn field(name.c_str(), fieldType(fieldKind));
            check(created->CreateField(&field) == OGRERR_NONE, name);
        }
        for (const auto& given : layer.features) {
            OGRFeature feature(created->GetLayerDefn());
            for (std::size_t i = 0; i < given.values.size(); ++i) {
                const int field = static_cast<int>(i);
                if (given.values[i]) {
                    feature.SetField(field, given.values[i]->c_str());
                } else {
                    feature.SetFieldNull(field);
                }
            }
            if (!given.wkt.empty()) {
                OGRGeometry* geometry = nullptr;
                OGRGeometryFactory::createFromWkt(given.wkt.c_str(), nullptr, &geometry);
                check(geometry, given.wkt);
                feature.SetGeometryDirectly(geometry);
            }
            check(created->CreateFeature(&feature) == OGRERR_NONE, "feature");
        }
    }
}

ReadBackLayer readBackLayer(const std::string& path, const std::string& layerName) {
    GDALAllRegister();
    Dataset dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    check(dataset != nullptr, path);
    OGRLayer* layer = dataset->GetLayerByName(layerName.c_str());
    check(layer, layerName);
    ReadBackLayer read;
    if (const OGRSpatialReference* crs = layer->GetSpatialRef()) {
        const char* authority = crs->GetAuthorityName(nullptr);
        const char* code = crs->GetAuthorityCode(nullptr);
        read.crs = authority && code ? std::string(authority) + ":" + code : crs->GetName();
    }
    read.geometryType = OGRGeometryTypeToName(layer->GetGeomType());
    OGRFeatureDefn* definition = layer->GetLayerDefn();
    for (int i = 0; i < definition->GetFieldCount(); ++i) {
        read.fields.emplace_back(definition->GetFieldDefn(i)->GetNameRef());
    }
    for (const auto& feature : *layer) {
        const OGRGeometry* geometry = feature->GetGeometryRef();
        read.wkt.push_back(geometry ? geometry->exportToWkt() : "");
        std::vector<std::string> values;
        for (int i = 0; i < definition->GetFieldCount(); ++i) {
            values.emplace_back(feature->IsFieldNull(i) ? "null" : feature->GetFieldAsString(i));
        }
        read.values.push_back(std::move(values));
    }
    return read;
}
