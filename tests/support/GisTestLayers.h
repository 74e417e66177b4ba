#pragma once

#include <optional>
#include <string>
#include <vector>

// Small layers written through GDAL's own API, as a planner's GIS would write them.
struct TestLayer {
    std::string name = "sites";
    // A CRS as PROJ reads it ("EPSG:25832"); empty: none.
    std::string crs;
    // Each field's name and type: 'i' integer, 'r' real, 's' text.
    std::vector<std::pair<std::string, char>> fields;
    struct Feature {
        // Empty: no geometry.
        std::string wkt;
        // One per field, as text; nothing: null.
        std::vector<std::optional<std::string>> values;
    };
    std::vector<Feature> features;
};

// Writes the layers with the GDAL driver named ("GPKG", "GeoJSON", "ESRI Shapefile").
void writeTestLayers(const std::string& path, const std::string& driver,
                     const std::vector<TestLayer>& layers);

// What GDAL reads back from one layer of a file: each feature's geometry as WKT and its fields
// as text ("null" for a null), in the layer's order.
struct ReadBackLayer {
    std::string crs;  // "EPSG:4326", a name without a code, or empty
    std::string geometryType;
    std::vector<std::string> fields;
    std::vector<std::string> wkt;
    std::vector<std::vector<std::string>> values;
};
ReadBackLayer readBackLayer(const std::string& path, const std::string& layer);
