#include "gis/NodeImport.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/NumberText.h"
#include "platform/RunTimeError.h"
#include "platform/Utf8.h"
#include "store/DataStore.h"

namespace {

[[noreturn]] void refuse(const std::string& file, const std::string& message) {
    RunTimeError error(message);
    error.setLocation(file, 0);
    throw error;
}

// A call into the GIS module, whose failures become run-time errors located at `file`.
template <typename Call>
auto fromModule(const std::string& file, Call call) {
    try {
        return call();
    } catch (const RunTimeError&) {
        throw;
    } catch (const std::exception& error) {
        refuse(file, error.what());
    }
}

std::string quotedList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "'" : ", '") + name + "'";
    }
    return list;
}

const LayerSummary& chosenLayer(const std::vector<LayerSummary>& layers, const NodeImport& import) {
    std::vector<std::string> names;
    for (const LayerSummary& layer : layers) {
        if (layer.name == import.layer) {
            return layer;
        }
        names.push_back(layer.name);
    }
    if (layers.empty()) {
        refuse(import.from, "holds no layers");
    }
    if (import.layer.empty()) {
        if (layers.size() == 1) {
            return layers.front();
        }
        refuse(import.from, "holds " + std::to_string(layers.size()) +
                                " layers; name one with --layer: " + quotedList(names));
    }
    refuse(import.from, "has no layer '" + import.layer + "'; its layers: " + quotedList(names));
}

// The CRS the points are read in; empty: the layer's own.
std::string targetCrs(GisLayers& gis, const NodeImport& import, const LayerSummary& layer) {
    const std::string about = "layer '" + layer.name + "'";
    if (layer.crs && import.sourceCrs) {
        refuse(import.from, about + " has its own CRS, " + layer.crs->name +
                                "; a source CRS is only for layers without one");
    }
    const std::string sourceText = import.sourceCrs.value_or(DefaultSourceCrs);
    const auto known = [&](const std::string& text) {
        const auto crs = fromModule(import.from, [&] { return gis.crs(text); });
        if (!crs) {
            refuse(import.from, "'" + text + "' is no CRS PROJ knows");
        }
        return *crs;
    };
    const CrsSummary source = layer.crs ? *layer.crs : known(sourceText);
    if (import.coordinates == NodeCoordinates::LongitudeLatitude) {
        return "EPSG:4326";
    }
    if (!import.crs.empty()) {
        if (known(import.crs).kind == CrsSummary::Kind::Geographic) {
            refuse(import.from, "the CRS '" + import.crs +
                                    "' is geographic; Euclidean and Manhattan distances need "
                                    "a projected one (for example EPSG:25832)");
        }
        return import.crs;
    }
    if (source.kind == CrsSummary::Kind::Geographic) {
        refuse(import.from, about + " is in geographic coordinates (" + source.name +
                                "); Euclidean and Manhattan distances need projected ones: "
                                "write a .GRT node file for Great Circle distances, or give "
                                "a projected CRS (--crs, for example EPSG:25832)");
    }
    // Projected already: the points are taken as they are.
    return {};
}

std::string withoutControls(const std::string& text) {
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t character = 0;
        const std::size_t length = decodeUtf8(text, at, character);
        if (length == 0) {
            clean += text[at++];
            continue;
        }
        const bool lineSeparator = character == U'\u2028' || character == U'\u2029';
        if (isControlCharacter(character) || lineSeparator) {
            clean += ' ';
        } else {
            clean.append(text, at, length);
        }
        at += length;
    }
    const std::size_t first = clean.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return clean.substr(first, clean.find_last_not_of(' ') - first + 1);
}

// Which of the values read is which node-file field; -1: not taken.
struct Columns {
    int id = -1;
    int demand = -1;
    int secondDemand = -1;
    int number = -1;
    int name = -1;
};

class FeatureLine {
public:
    FeatureLine(const NodeImport& import, const LayerSummary& layer, const LayerFeature& feature,
                long long number, char decimalSeparator)
        : m_import(import),
          m_layer(layer),
          m_feature(feature),
          m_number(number),
          m_decimal(decimalSeparator) {}

    std::string text(const Columns& columns) const {
        const FeaturePoint& point = checkedPoint();
        if (m_import.coordinates == NodeCoordinates::LongitudeLatitude && std::fabs(point.y) > 90) {
            refuseFeature("its latitude, " + formatShortest(point.y, m_decimal) +
                          ", lies beyond a pole");
        }
        std::string line = id(columns.id);
        for (const double value : {point.x, point.y}) {
            line += ' ' + formatShortest(value, m_decimal);
        }
        const std::string demand = numberOf(columns.demand, m_import.demandField, true);
        line += ' ' + demand + ' ' +
                (columns.secondDemand < 0
                     ? demand
                     : numberOf(columns.secondDemand, m_import.secondDemandField, true));
        line += ' ' + numberOf(columns.number, m_import.numberField, false);
        if (columns.name >= 0) {
            const std::string name = withoutControls(shown(value(columns.name)));
            if (!name.empty()) {
                line += ' ' + name;
            }
        }
        return line + "\r\n";
    }

private:
    [[noreturn]] void refuseFeature(const std::string& reason) const {
        std::string feature = "layer '" + m_layer.name + "', feature " + std::to_string(m_number) +
                              " (FID " + std::to_string(m_feature.fid) + "): ";
        refuse(m_import.from, feature + reason);
    }

    const FieldValue& value(int column) const {
        return m_feature.values[static_cast<std::size_t>(column)];
    }

    std::string shown(const FieldValue& value) const {
        return value.kind == FieldValue::Kind::Real ? formatShortest(value.number, m_decimal)
                                                    : value.text;
    }

    const FeaturePoint& checkedPoint() const {
        const FeaturePoint& point = m_feature.point;
        switch (point.status) {
            case FeaturePoint::Status::Point:
                return point;
            case FeaturePoint::Status::NoGeometry:
                refuseFeature(m_layer.csv ? "it has no point: its coordinate columns are empty "
                                            "or not numbers"
                                          : "it has no geometry");
            case FeaturePoint::Status::Empty:
                refuseFeature("its geometry (" + point.geometryType + ") is empty");
            case FeaturePoint::Status::NotPoint:
                refuseFeature("its geometry is a " + point.geometryType +
                              ", not a point; its point on surface can be taken instead "
                              "(--centroids)");
            case FeaturePoint::Status::NoPointOnSurface:
                refuseFeature("its " + point.geometryType + " has no point on its surface");
            case FeaturePoint::Status::NotTransformed:
                break;
        }
        refuseFeature("PROJ cannot transform its coordinates");
    }

    std::string id(int column) const {
        if (column < 0) {
            return std::to_string(m_number);
        }
        const std::string about = "id field '" + m_import.idField + "'";
        const FieldValue& id = value(column);
        if (id.kind == FieldValue::Kind::Null) {
            refuseFeature(about + " is null");
        }
        const std::string text = shown(id);
        const bool breaksLine = std::any_of(text.begin(), text.end(), [](char c) {
            return static_cast<unsigned char>(c) <= ' ' || c == '\x7f';
        });
        if (text.empty() || breaksLine) {
            refuseFeature(about + " holds '" + text +
                          "': a node's id must be one word, without spaces or control "
                          "characters");
        }
        return text;
    }

    // The field's value as a node-file number; 0 when no field is taken.
    std::string numberOf(int column, const std::string& field, bool demand) const {
        if (column < 0) {
            return "0";
        }
        const std::string about = (demand ? "demand field '" : "number field '") + field + "'";
        const FieldValue& given = value(column);
        std::optional<double> number;
        switch (given.kind) {
            case FieldValue::Kind::Null:
                refuseFeature(about + " is null");
            case FieldValue::Kind::Integer:
            case FieldValue::Kind::Real:
                number = given.number;
                break;
            case FieldValue::Kind::Text:
                number = parseFloat(given.text, '.');
                break;
        }
        if (!number || !std::isfinite(*number)) {
            refuseFeature(about + " is not a number: '" + shown(given) + "'");
        }
        if (demand && *number < 0) {
            refuseFeature(about + " is negative: " + formatShortest(*number, m_decimal));
        }
        return formatShortest(*number, m_decimal);
    }

    const NodeImport& m_import;
    const LayerSummary& m_layer;
    const LayerFeature& m_feature;
    long long m_number;
    char m_decimal;
};

// From the last dot of the file's name, that dot included: ".EUC" is its own extension.
std::string upperExtension(const std::string& path) {
    const std::string name = path.substr(path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension;
}

}  // namespace

std::optional<NodeCoordinates> coordinatesForNodeFile(const std::string& path) {
    const std::string extension = upperExtension(path);
    if (extension == ".GRT" || extension == ".NET") {
        return NodeCoordinates::LongitudeLatitude;
    }
    if (extension == ".EUC" || extension == ".MAN") {
        return NodeCoordinates::Planar;
    }
    return std::nullopt;
}

bool isGisLayerFile(const std::string& path) {
    const std::string extension = upperExtension(path);
    std::string_view patterns = GisLayerPatterns;
    while (!patterns.empty()) {
        const std::size_t end = std::min(patterns.find(';'), patterns.size());
        if (!extension.empty() &&
            upperExtension(std::string(patterns.substr(0, end))) == extension) {
            return true;
        }
        patterns.remove_prefix(std::min(end + 1, patterns.size()));
    }
    return false;
}

std::vector<LayerSummary> layersOf(GisLayers& gis, const std::string& path) {
    return fromModule(path, [&] { return gis.layers(path); });
}

std::string importNodeFile(GisLayers& gis, const NodeImport& import, char decimalSeparator) {
    const std::vector<LayerSummary> layers = layersOf(gis, import.from);
    const LayerSummary& layer = chosenLayer(layers, import);
    const std::string about = "layer '" + layer.name + "'";
    LayerReading reading{import.from,   layer.name, {}, import.xField,
                         import.yField, "",         "", import.centroids};
    Columns columns;
    const std::pair<const std::string*, int*> taken[] = {
        {&import.idField, &columns.id},
        {&import.demandField, &columns.demand},
        {&import.secondDemandField, &columns.secondDemand},
        {&import.numberField, &columns.number},
        {&import.nameField, &columns.name},
        {&import.xField, nullptr},
        {&import.yField, nullptr}};
    for (const auto& [field, column] : taken) {
        if (field->empty()) {
            continue;
        }
        if (std::find(layer.fields.begin(), layer.fields.end(), *field) == layer.fields.end()) {
            refuse(import.from, about + " has no field '" + *field + "'; its fields: " +
                                    (layer.fields.empty() ? "none" : quotedList(layer.fields)));
        }
        if (column) {
            *column = static_cast<int>(reading.fields.size());
            reading.fields.push_back(*field);
        }
    }
    if (!layer.csv && !(import.xField.empty() && import.yField.empty())) {
        refuse(import.from, about +
                                " is not a CSV file: its points come from its geometry, "
                                "not from coordinate columns");
    }
    if (layer.features > MaxNodes) {
        refuse(import.from, about + " holds " + std::to_string(layer.features) +
                                " features; a node file holds at most " + std::to_string(MaxNodes));
    }
    if (layer.features == 0) {
        refuse(import.from, about + " holds no features");
    }
    reading.targetCrs = targetCrs(gis, import, layer);
    reading.sourceCrs = import.sourceCrs.value_or(DefaultSourceCrs);
    const std::vector<LayerFeature> features =
        fromModule(import.from, [&] { return gis.features(reading); });
    if (features.size() > static_cast<std::size_t>(MaxNodes)) {
        refuse(import.from, about + " holds more than " + std::to_string(MaxNodes) + " features");
    }
    std::string text;
    long long number = 0;
    for (const LayerFeature& feature : features) {
        text += FeatureLine(import, layer, feature, ++number, decimalSeparator).text(columns);
    }
    return text;
}
