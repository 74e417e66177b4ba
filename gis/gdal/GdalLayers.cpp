#include "gis/gdal/GdalLayers.h"

#include <ogrsf_frmts.h>

#include <cmath>
#include <mutex>
#include <stdexcept>

#include "gis/gdal/GdalSupport.h"

namespace {

OGRLayer& layerNamed(GDALDataset& dataset, const std::string& name) {
    for (OGRLayer* layer : dataset.GetLayers()) {
        if (name == layer->GetName()) {
            return *layer;
        }
    }
    throw std::runtime_error("has no layer '" + name + "'");
}

// Field names are matched exactly: GDAL's own lookup ignores case, and two fields may differ
// only in it.
int fieldIndex(OGRFeatureDefn& definition, const std::string& name) {
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
        if (name == definition.GetFieldDefn(i)->GetNameRef()) {
            return i;
        }
    }
    throw std::runtime_error("has no field '" + name + "'");
}

FieldValue valueOf(OGRFeature& feature, int field) {
    FieldValue value;
    if (!feature.IsFieldSetAndNotNull(field)) {
        return value;
    }
    switch (feature.GetFieldDefnRef(field)->GetType()) {
        case OFTInteger:
        case OFTInteger64:
            value.kind = FieldValue::Kind::Integer;
            value.number = static_cast<double>(feature.GetFieldAsInteger64(field));
            value.text = feature.GetFieldAsString(field);
            break;
        case OFTReal:
            value.kind = FieldValue::Kind::Real;
            value.number = feature.GetFieldAsDouble(field);
            break;
        default:
            value.kind = FieldValue::Kind::Text;
            value.text = feature.GetFieldAsString(field);
            break;
    }
    return value;
}

FeaturePoint pointOf(const OGRGeometry* geometry, bool pointOnSurface) {
    FeaturePoint point;
    if (!geometry) {
        return point;
    }
    point.geometryType = OGRGeometryTypeToName(wkbFlatten(geometry->getGeometryType()));
    if (geometry->IsEmpty()) {
        point.status = FeaturePoint::Status::Empty;
        return point;
    }
    if (wkbFlatten(geometry->getGeometryType()) == wkbPoint) {
        point.status = FeaturePoint::Status::Point;
        point.x = geometry->toPoint()->getX();
        point.y = geometry->toPoint()->getY();
        return point;
    }
    if (!pointOnSurface) {
        point.status = FeaturePoint::Status::NotPoint;
        return point;
    }
    const std::unique_ptr<OGRGeometry> onSurface(OGRGeometry::FromHandle(
        OGR_G_PointOnSurface(OGRGeometry::ToHandle(const_cast<OGRGeometry*>(geometry)))));
    if (!onSurface || onSurface->IsEmpty() ||
        wkbFlatten(onSurface->getGeometryType()) != wkbPoint) {
        point.status = FeaturePoint::Status::NoPointOnSurface;
        return point;
    }
    point.status = FeaturePoint::Status::Point;
    point.x = onSurface->toPoint()->getX();
    point.y = onSurface->toPoint()->getY();
    return point;
}

OGRSpatialReference crsFrom(const std::string& text, const GdalMessages& messages) {
    OGRSpatialReference crs;
    // Never a file or a web address: only what PROJ itself knows or the text spells out.
    if (crs.SetFromUserInput(text.c_str(), OGRSpatialReference::SET_FROM_USER_INPUT_LIMITATIONS) !=
        OGRERR_NONE) {
        messages.fail("'" + text + "' is no CRS PROJ knows");
    }
    useGisAxisOrder(crs);
    return crs;
}

}  // namespace

GdalLayers::GdalLayers() {
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
}

std::vector<LayerSummary> GdalLayers::layers(const std::string& path) {
    const Dataset dataset = openVectors(path);
    GdalMessages messages;
    std::vector<LayerSummary> layers;
    const bool csv = std::string(dataset->GetDriver()->GetDescription()) == "CSV";
    for (OGRLayer* layer : dataset->GetLayers()) {
        LayerSummary summary;
        summary.name = layer->GetName();
        OGRFeatureDefn* definition = layer->GetLayerDefn();
        for (int i = 0; i < definition->GetFieldCount(); ++i) {
            summary.fields.emplace_back(definition->GetFieldDefn(i)->GetNameRef());
        }
        if (const OGRSpatialReference* crs = layer->GetSpatialRef()) {
            summary.crs = summarize(*crs);
        }
        summary.features = layer->GetFeatureCount(TRUE);
        if (summary.features < 0) {
            messages.fail("layer '" + summary.name + "' cannot be counted");
        }
        summary.csv = csv;
        layers.push_back(std::move(summary));
    }
    return layers;
}

std::optional<CrsSummary> GdalLayers::crs(const std::string& text) {
    GdalMessages messages;
    OGRSpatialReference crs;
    if (crs.SetFromUserInput(text.c_str(), OGRSpatialReference::SET_FROM_USER_INPUT_LIMITATIONS) !=
        OGRERR_NONE) {
        return std::nullopt;
    }
    return summarize(crs);
}

std::vector<LayerFeature> GdalLayers::features(const LayerReading& reading) {
    const Dataset dataset = openVectors(reading.path, reading.xField, reading.yField);
    GdalMessages messages;
    OGRLayer& layer = layerNamed(*dataset, reading.layer);
    std::vector<int> fields;
    for (const std::string& name : reading.fields) {
        fields.push_back(fieldIndex(*layer.GetLayerDefn(), name));
    }
    std::unique_ptr<OGRCoordinateTransformation> transformation;
    if (!reading.targetCrs.empty()) {
        OGRSpatialReference source;
        if (const OGRSpatialReference* own = layer.GetSpatialRef()) {
            source = *own;
            useGisAxisOrder(source);
        } else {
            source = crsFrom(reading.sourceCrs, messages);
        }
        const OGRSpatialReference target = crsFrom(reading.targetCrs, messages);
        transformation.reset(OGRCreateCoordinateTransformation(&source, &target));
        if (!transformation) {
            messages.fail("PROJ cannot transform its coordinates to " + summarize(target).name);
        }
    }
    std::vector<LayerFeature> features;
    layer.ResetReading();
    for (const auto& feature : layer) {
        LayerFeature read;
        read.fid = feature->GetFID();
        read.point = pointOf(feature->GetGeometryRef(), reading.pointOnSurface);
        if (transformation && read.point.status == FeaturePoint::Status::Point) {
            int transformed = FALSE;
            if (!transformation->Transform(1, &read.point.x, &read.point.y, nullptr,
                                           &transformed) ||
                !transformed || !std::isfinite(read.point.x) || !std::isfinite(read.point.y)) {
                read.point.status = FeaturePoint::Status::NotTransformed;
            }
        }
        for (const int field : fields) {
            read.values.push_back(valueOf(*feature, field));
        }
        features.push_back(std::move(read));
    }
    return features;
}
