#include "store/MatrixSource.h"

#include <cctype>
#include <filesystem>

#include "store/DistanceMetrics.h"

namespace {

std::string fileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// "travel time", as a measure is named within a sentence.
std::string lowerMeasureName(const MatrixSource& source) {
    std::string name = measureName(source);
    name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    return name;
}

}  // namespace

MatrixSource computedSource(char metricCode) {
    MatrixSource source;
    source.metricCode = metricCode;
    source.unit = metricWithCode(metricCode).unit;
    return source;
}

MatrixSource distanceFileSource(char metricCode, std::string file) {
    MatrixSource source = computedSource(metricCode);
    source.kind = MatrixSource::Kind::DistanceFile;
    source.file = std::move(file);
    return source;
}

std::string measureName(const MatrixSource& source) {
    return source.kind == MatrixSource::Kind::RoadMap ? source.measure : "Distance";
}

std::string measureNoun(const MatrixSource& source) {
    return lowerMeasureName(source) + "s";
}

std::string cellUnit(const MatrixSource& source) {
    return source.transformed ? "" : source.unit;
}

std::string measureTitle(const MatrixSource& source) {
    const std::string name = measureName(source);
    return cellUnit(source).empty() ? name : name + " (" + cellUnit(source) + ")";
}

std::string unitSuffix(const MatrixSource& source) {
    return cellUnit(source).empty() ? "" : " " + cellUnit(source);
}

std::string sourceText(const MatrixSource& source) {
    std::string measure = measureNoun(source);
    if (!cellUnit(source).empty()) {
        measure += " in " + cellUnit(source);
    }
    std::string text;
    switch (source.kind) {
        case MatrixSource::Kind::Metric:
            text = std::string(metricWithCode(source.metricCode).title) + " " + measure +
                   ", computed from the node files";
            break;
        case MatrixSource::Kind::DistanceFile:
            text = measure + ", read from the distance file " + fileName(source.file);
            break;
        case MatrixSource::Kind::RoadMap:
            text = measure + " (" + source.mode + "), computed from the road map " +
                   fileName(source.file);
            break;
    }
    return source.transformed ? text + ", then changed by the distance equations" : text;
}

std::string roadSettingsText(const MatrixSource& source) {
    return source.mode + ", " + lowerMeasureName(source) + ", " + source.unit;
}

bool placesOnTheGlobe(const MatrixSource& source) {
    return source.kind == MatrixSource::Kind::RoadMap || source.metricCode == 'G';
}
