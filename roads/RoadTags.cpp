#include "roads/RoadTags.h"

#include <osmium/osm/tag.hpp>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 8> WalkOnlyHighways{
    "footway", "path", "pedestrian", "steps", "track", "cycleway", "bridleway", "corridor"};

// The tag's value; empty when the way lacks the tag.
std::string_view value(const osmium::TagList& tags, const char* key) {
    const char* found = tags.get_value_by_key(key);
    return found ? std::string_view(found) : std::string_view();
}

bool highwayOfMode(std::string_view highway, TravelMode mode) {
    if (mode == TravelMode::Drive) {
        return driveHighwayIndex(highway).has_value();
    }
    if (highway == "motorway" || highway == "motorway_link") {
        return false;
    }
    return driveHighwayIndex(highway) || std::find(WalkOnlyHighways.begin(), WalkOnlyHighways.end(),
                                                   highway) != WalkOnlyHighways.end();
}

bool isNo(std::string_view value) {
    return value == "no" || value == "false" || value == "0";
}

// The speed one way along a drive way: the first of the direction's own maxspeed and the
// way's that is a speed, else the highway's.
double driveKmh(const osmium::TagList& tags, const char* directionKey, double highwayKmh) {
    for (const char* key : {directionKey, "maxspeed"}) {
        if (const std::optional<double> kmh = maxspeedKmh(value(tags, key))) {
            return *kmh;
        }
    }
    return highwayKmh;
}

}  // namespace

bool isRoad(const osmium::TagList& tags, TravelMode mode) {
    const char* highway = tags.get_value_by_key("highway");
    if (!highway || !highwayOfMode(highway, mode)) {
        return false;
    }
    const std::string_view access = value(tags, "access");
    if (value(tags, "area") == "yes" || access == "no" || access == "private") {
        return false;
    }
    if (mode == TravelMode::Drive) {
        return value(tags, "motor_vehicle") != "no" && value(tags, "motorcar") != "no";
    }
    return value(tags, "foot") != "no";
}

RoadDirection roadDirection(const osmium::TagList& tags, TravelMode mode) {
    if (mode == TravelMode::Walk) {
        return RoadDirection::Both;
    }
    const std::string_view oneway = value(tags, "oneway");
    if (oneway == "-1" || oneway == "reverse") {
        return RoadDirection::Backward;
    }
    if (oneway == "yes" || oneway == "true" || oneway == "1") {
        return RoadDirection::Forward;
    }
    const std::string_view junction = value(tags, "junction");
    const bool circle = junction == "roundabout" || junction == "circular";
    if (circle && !isNo(oneway)) {
        return RoadDirection::Forward;
    }
    // A motorway is one carriageway of a divided road, drawn in its direction of travel.
    if (value(tags, "highway") == "motorway" && !isNo(oneway)) {
        return RoadDirection::Forward;
    }
    return RoadDirection::Both;
}

RoadKmh roadKmh(const osmium::TagList& tags, TravelMode mode, const RoadSpeeds& speeds) {
    if (mode == TravelMode::Walk) {
        return {speeds.walk, speeds.walk};
    }
    const double highwayKmh = speeds.drive[driveHighwayIndex(value(tags, "highway")).value_or(0)];
    return {driveKmh(tags, "maxspeed:forward", highwayKmh),
            driveKmh(tags, "maxspeed:backward", highwayKmh)};
}
