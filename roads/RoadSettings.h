#pragma once

// What a road-distance matrix is computed with: which roads count (the mode), the unit of
// the cells, and what to do with nodes far from a road and with pairs no road joins.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/NumberText.h"

enum class TravelMode { Drive, Walk };
enum class DistanceUnit { Metres, Kilometres, Miles };

struct RoadSettings {
    TravelMode mode = TravelMode::Drive;
    DistanceUnit unit = DistanceUnit::Metres;
    // The cell value of pairs that no road joins; without it such pairs are an error.
    std::optional<int32_t> unreachableValue;
    // Nodes farther than this from a road of the mode are refused.
    std::optional<double> maxSnapMetres;
    // How numbers in messages and the summary are written.
    NumberSeparators separators;
};

// The names on the command line and in the window: "drive", "walk"; "metres", "kilometres",
// "miles".
const char* modeName(TravelMode mode);
const char* unitName(DistanceUnit unit);
std::optional<TravelMode> modeNamed(std::string_view name);
std::optional<DistanceUnit> unitNamed(std::string_view name);
std::vector<std::string> modeNames();
std::vector<std::string> unitNames();

// "for driving", "for walking": how messages name the roads of a mode.
const char* roadsOfMode(TravelMode mode);

// Metres in one unit; a mile is 1,609.344 m.
long double metresPerUnit(DistanceUnit unit);
