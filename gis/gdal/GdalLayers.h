#pragma once

#include "gis/GisLayers.h"

// GIS layers through GDAL and PROJ: the one place that includes them. GDAL's own messages
// never reach the terminal; the first failure it reports becomes the reason thrown.
class GdalLayers : public GisLayers {
public:
    GdalLayers();

    std::vector<LayerSummary> layers(const std::string& path) override;
    std::optional<CrsSummary> crs(const std::string& text) override;
    std::vector<LayerFeature> features(const LayerReading& reading) override;
    std::string coverageGeoPackage(const CoverageLayers& layers) override;
};
