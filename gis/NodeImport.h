#pragma once

// A node file from one layer of a planner's GIS file: one line per feature in the layer's
// order, its point in the coordinates the node file's metric needs, its demand, number and
// name from the fields named. Every refusal names the layer and the feature; nothing is
// written here, so a refused layer leaves no file.

#include <optional>
#include <string>

#include "gis/GisLayers.h"

enum class NodeCoordinates {
    // Great Circle and Network: degrees on WGS 84, longitude first.
    LongitudeLatitude,
    // Euclidean and Manhattan: a projected CRS's coordinates.
    Planar,
};

// By the node file's extension, in any case; nothing for another extension.
std::optional<NodeCoordinates> coordinatesForNodeFile(const std::string& path);

// The GIS files the load dialog offers, as its file dialogs list patterns.
inline constexpr const char* GisLayerPatterns = "*.gpkg;*.shp;*.geojson;*.json;*.fgb;*.kml;*.csv";
// Whether the file's extension, in any case, is one of those.
bool isGisLayerFile(const std::string& path);

struct NodeImport {
    std::string from;
    // Empty: the file's only layer.
    std::string layer;
    NodeCoordinates coordinates = NodeCoordinates::LongitudeLatitude;
    // Empty fields are not taken: the line gets the feature's number as its id, 0 as its
    // demand and number, and no name. Without a second demand field the first one counts twice.
    std::string idField;
    std::string demandField;
    std::string secondDemandField;
    std::string numberField;
    std::string nameField;
    // A CSV file's coordinate columns.
    std::string xField;
    std::string yField;
    // The CRS of a layer without one; refused for a layer that has its own.
    std::optional<std::string> sourceCrs;
    // Planar coordinates in this CRS; empty: the layer's own, which must then be projected.
    std::string crs;
    // A polygon or a line gives its point on surface.
    bool centroids = false;
};

inline constexpr const char* DefaultSourceCrs = "EPSG:4326";

// The node file's text, lines ending CR LF, numbers in their shortest form that reads back as
// the same double with `decimalSeparator`. Throws RunTimeError located at the layer's file.
std::string importNodeFile(GisLayers& gis, const NodeImport& import, char decimalSeparator);

// The layers of the file; throws RunTimeError located at it when GDAL cannot read it.
std::vector<LayerSummary> layersOf(GisLayers& gis, const std::string& path);
