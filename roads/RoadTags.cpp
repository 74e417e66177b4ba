#include "roads/RoadTags.h"

#include <osmium/osm/tag.hpp>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 15> DriveHighways{
    "motorway",     "motorway_link", "trunk",          "trunk_link", "primary",
    "primary_link", "secondary",     "secondary_link", "tertiary",   "tertiary_link",
    "unclassified", "residential",   "living_street",  "service",    "road"};

constexpr std::array<std::string_view, 8> WalkOnlyHighways{
    "footway", "path", "pedestrian", "steps", "track", "cycleway", "bridleway", "corridor"};

// The tag's value; empty when the way lacks the tag.
std::string_view value(const osmium::TagList& tags, const char* key) {
    const char* found = tags.get_value_by_key(key);
    return found ? std::string_view(found) : std::string_view();
}

template <std::size_t N>
bool among(std::string_view value, const std::array<std::string_view, N>& values) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

bool highwayOfMode(std::string_view highway, TravelMode mode) {
    if (mode == TravelMode::Drive) {
        return among(highway, DriveHighways);
    }
    if (highway == "motorway" || highway == "motorway_link") {
        return false;
    }
    return among(highway, DriveHighways) || among(highway, WalkOnlyHighways);
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
    if (circle && oneway != "no" && oneway != "false" && oneway != "0") {
        return RoadDirection::Forward;
    }
    return RoadDirection::Both;
}
