#pragma once

// GIS layers in and out, behind one interface. Its implementation links GDAL and lives in a
// module of its own, loaded only when a layer is read or written (GisModule): linking GDAL
// and its hundred libraries into the programs would slow every start of every verb. Only
// plain data crosses the interface, and failures come back as std::runtime_error with
// GDAL's or PROJ's reason.

#include <optional>
#include <string>
#include <vector>

struct CrsSummary {
    // Planar: projected, or a local engineering system; its coordinates are metres or feet
    // on a plane.
    enum class Kind { Geographic, Planar };
    Kind kind = Kind::Planar;
    // Its name and, when it has one, its code: "ETRS89 / UTM zone 32N (EPSG:25832)".
    std::string name;
};

struct LayerSummary {
    std::string name;
    std::vector<std::string> fields;
    // None for a layer without one (a CSV file).
    std::optional<CrsSummary> crs;
    long long features = 0;
    // A CSV file's coordinates come from its columns.
    bool csv = false;
};

// A field of one feature as the layer holds it.
struct FieldValue {
    enum class Kind { Null, Integer, Real, Text };
    Kind kind = Kind::Null;
    double number = 0;
    // Integers exactly as stored, text as it is; empty for the others.
    std::string text;
};

struct FeaturePoint {
    enum class Status { Point, NoGeometry, Empty, NotPoint, NoPointOnSurface, NotTransformed };
    Status status = Status::NoGeometry;
    // The geometry's type as GDAL names it ("Polygon"), for the messages.
    std::string geometryType;
    double x = 0;
    double y = 0;
};

struct LayerFeature {
    long long fid = 0;
    FeaturePoint point;
    // The fields asked for, in the order asked.
    std::vector<FieldValue> values;
};

struct LayerReading {
    std::string path;
    std::string layer;
    std::vector<std::string> fields;
    // A CSV file's coordinate columns; empty: the columns GDAL recognises (lon/lat,
    // longitude/latitude, x/y).
    std::string xField;
    std::string yField;
    // The CRS of a layer that has none.
    std::string sourceCrs;
    // The CRS the points are wanted in; empty: the layer's own coordinates. Longitude comes
    // first in geographic ones, whatever the CRS's own axis order.
    std::string targetCrs;
    // A geometry that is not a point gives its point on surface.
    bool pointOnSurface = false;
};

struct CoverageNode {
    int node = 0;
    bool demandNode = false;
    double x = 0;
    double y = 0;
    // Only demand nodes carry these.
    std::optional<double> demand1;
    std::optional<double> demand2;
    std::optional<double> weightedDemand;
    std::optional<bool> covered;
    // The nearest other node within the coverage and its distance, when there is one.
    std::optional<int> nearestNode;
    std::optional<int> nearestDistance;
};

struct LonLat {
    double longitude = 0;
    double latitude = 0;
};

struct CoverageLayers {
    // Longitude and latitude on WGS 84; otherwise coordinates of no known system.
    bool wgs84 = false;
    // The nodes layer's description, saying what its values were computed at.
    std::string description;
    std::vector<CoverageNode> nodes;
    // A road problem's roads, each a line through its points; none for other problems.
    std::optional<std::vector<std::vector<LonLat>>> roads;
};

class GisLayers {
public:
    virtual ~GisLayers() = default;

    // The layers of anything GDAL reads as vectors.
    virtual std::vector<LayerSummary> layers(const std::string& path) = 0;
    // A CRS as a user writes it ("EPSG:25832", a PROJ string, WKT); nothing when PROJ knows
    // no such CRS.
    virtual std::optional<CrsSummary> crs(const std::string& text) = 0;
    // Every feature of the layer, in the layer's order.
    virtual std::vector<LayerFeature> features(const LayerReading& reading) = 0;
    // The bytes of a GeoPackage holding the layers `nodes` and, for a road problem, `roads`.
    virtual std::string coverageGeoPackage(const CoverageLayers& layers) = 0;
};
