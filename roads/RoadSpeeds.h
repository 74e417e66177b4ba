#pragma once

// The speeds travel time is computed with, in km/h: one for each highway value a car may
// take and one for walking, each replaceable from a speeds file, and the rule by which a
// tag's value is a speed.

#include <array>
#include <optional>
#include <string_view>

class TextSource;

struct HighwaySpeed {
    std::string_view highway;
    double kmh;
};

// The roads a car may take, with the speed assumed where a road gives none.
inline constexpr std::array<HighwaySpeed, 15> DriveHighways{{
    {"motorway", 100},
    {"motorway_link", 50},
    {"trunk", 80},
    {"trunk_link", 50},
    {"primary", 60},
    {"primary_link", 40},
    {"secondary", 50},
    {"secondary_link", 40},
    {"tertiary", 40},
    {"tertiary_link", 30},
    {"unclassified", 30},
    {"residential", 30},
    {"living_street", 10},
    {"service", 20},
    {"road", 30},
}};

inline constexpr double DefaultWalkKmh = 5;

using DriveSpeeds = std::array<double, DriveHighways.size()>;

constexpr DriveSpeeds defaultDriveSpeeds() {
    DriveSpeeds kmh{};
    for (std::size_t i = 0; i < kmh.size(); ++i) {
        kmh[i] = DriveHighways[i].kmh;
    }
    return kmh;
}

struct RoadSpeeds {
    // In the order of DriveHighways.
    DriveSpeeds drive = defaultDriveSpeeds();
    double walk = DefaultWalkKmh;
};

// The index of a highway value in DriveHighways, or nothing.
std::optional<std::size_t> driveHighwayIndex(std::string_view highway);

// Digits with an optional fraction ("50", "7.5"), greater than 0; nothing otherwise.
std::optional<double> positiveDecimal(std::string_view text);
// A maxspeed value that is a speed: such a number of km/h, or of miles an hour followed by
// "mph" or " mph", in km/h. Anything else ("none", "walk", "DE:urban", "50;30") is none.
std::optional<double> maxspeedKmh(std::string_view value);

// The defaults with the speeds a file gives: lines "KEY KMH", KEY a highway value of
// DriveHighways or "walk", "#" starting a comment, blank lines allowed; a line ends at LF,
// CR LF or CR. An unknown or repeated key, or a speed that is not a number greater than 0,
// throws a RunTimeError located at the file and line; a file that cannot be read throws
// InOutError.
RoadSpeeds readRoadSpeeds(const TextSource& file);
