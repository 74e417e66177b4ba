#pragma once

// Where the matrix in the store came from: computed from the node files under a metric, read
// from a distance file, or computed from a road map with a mode, a cost and a unit. Every
// loader fills it; every place that describes the matrix (labels, the preview, the report
// and its pictures) reads it, so they all say the same.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct RoadPlace {
    double longitude;
    double latitude;
};

// The roads a road matrix was computed on, as lines from junction or end to junction or end:
// line k runs through places[starts[k]] up to places[starts[k + 1] - 1].
struct RoadLines {
    std::vector<RoadPlace> places;
    std::vector<std::size_t> starts{0};

    std::size_t count() const { return starts.size() - 1; }
};

struct MatrixSource {
    enum class Kind { Metric, DistanceFile, RoadMap };
    Kind kind = Kind::Metric;
    char metricCode = 'E';
    // The distance file or the road map as it was chosen; empty for a metric.
    std::string file;
    // A road map's mode and cost as the command line names them ("drive", "time"), and what
    // a cell holds as a title names it ("Travel time").
    std::string mode;
    std::string cost;
    std::string measure;
    // The cells' unit as the command line names it ("minutes"); "miles" for the great
    // circle; empty where no unit is known.
    std::string unit;
    // The roads of the mode, when they were kept for a map.
    std::shared_ptr<const RoadLines> roads;
    // The distance equations have changed the cells since, so their unit is no longer known.
    bool transformed = false;
};

MatrixSource computedSource(char metricCode);
MatrixSource distanceFileSource(char metricCode, std::string file);

// "Travel time", "Road length", "Distance".
std::string measureName(const MatrixSource& source);
// "travel times", "road lengths", "distances": the cells within a sentence.
std::string measureNoun(const MatrixSource& source);
// The measure with its unit, as an axis is titled: "Travel time (minutes)", "Distance".
std::string measureTitle(const MatrixSource& source);
// The cells' unit, "minutes"; empty where none is known.
std::string cellUnit(const MatrixSource& source);
// " minutes", or nothing without a unit: what follows a number of the matrix.
std::string unitSuffix(const MatrixSource& source);
// One line for the user, the file by its name alone: "travel times in minutes (drive),
// computed from the road map town.osm.pbf".
std::string sourceText(const MatrixSource& source);
// A road map's settings as the load dialog lists them: "drive, travel time, minutes".
std::string roadSettingsText(const MatrixSource& source);
// The longitude and latitude in degrees are the nodes' X and Y.
bool placesOnTheGlobe(const MatrixSource& source);
