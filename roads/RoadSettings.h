#pragma once

// What a road matrix is computed with: which roads count (the mode), what a cell measures
// (the cost) and in which unit, and what to do with nodes far from a road and with pairs no
// road joins. Each choice has one table, in the order the window shows it, that every
// place naming or converting it reads.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/InputFile.h"
#include "platform/NumberText.h"
#include "roads/RoadSpeeds.h"

enum class TravelMode { Drive, Walk };
// The length of the shortest road, or the time of the quickest.
enum class RoadCost { Distance, Time };
// Units of length, then of time, each kind from the smallest up.
enum class RoadUnit { Metres, Kilometres, Miles, Seconds, Minutes, Hours };

struct ModeRow {
    TravelMode mode;
    const char* name;         // on the command line: "drive"
    const char* label;        // in the window: "&Drive"
    const char* roadsPhrase;  // in messages: "for driving"
};

struct CostRow {
    RoadCost cost;
    const char* name;     // "distance", "time"
    const char* label;    // "Dist&ance", "&Travel Time"
    const char* measure;  // what a cell holds, as a title says it: "Road length", "Travel time"
    const char* phrase;   // the same in messages: "road distance", "travel time"
    RoadUnit defaultUnit;
};

struct UnitRow {
    RoadUnit unit;
    const char* name;   // "metres", "minutes"
    const char* label;  // "&Metres", "Mi&nutes"
    RoadCost cost;      // the cost this unit measures
    long double base;   // metres (length) or seconds (time) in one unit
};

inline constexpr ModeRow Modes[] = {
    {TravelMode::Drive, "drive", "&Drive", "for driving"},
    {TravelMode::Walk, "walk", "&Walk", "for walking"},
};

inline constexpr CostRow Costs[] = {
    {RoadCost::Distance, "distance", "Dist&ance", "Road length", "road distance", RoadUnit::Metres},
    {RoadCost::Time, "time", "&Travel Time", "Travel time", "travel time", RoadUnit::Minutes},
};

inline constexpr UnitRow Units[] = {
    {RoadUnit::Metres, "metres", "&Metres", RoadCost::Distance, 1.0L},
    {RoadUnit::Kilometres, "kilometres", "&Kilometres", RoadCost::Distance, 1000.0L},
    {RoadUnit::Miles, "miles", "M&iles", RoadCost::Distance, 1609.344L},
    {RoadUnit::Seconds, "seconds", "&Seconds", RoadCost::Time, 1.0L},
    {RoadUnit::Minutes, "minutes", "Mi&nutes", RoadCost::Time, 60.0L},
    {RoadUnit::Hours, "hours", "&Hours", RoadCost::Time, 3600.0L},
};

const ModeRow& modeRow(TravelMode mode);
const CostRow& costRow(RoadCost cost);
const UnitRow& unitRow(RoadUnit unit);

inline const char* modeName(TravelMode mode) {
    return modeRow(mode).name;
}
inline const char* costName(RoadCost cost) {
    return costRow(cost).name;
}
inline const char* unitName(RoadUnit unit) {
    return unitRow(unit).name;
}

std::optional<TravelMode> modeNamed(std::string_view name);
std::optional<RoadCost> costNamed(std::string_view name);
std::optional<RoadUnit> unitNamed(std::string_view name);
std::vector<std::string> modeNames();
std::vector<std::string> costNames();
// The names of every unit, or of the units of one cost.
std::vector<std::string> unitNames();
std::vector<std::string> unitNames(RoadCost cost);
// The units of one cost, smallest first.
std::vector<RoadUnit> unitsOf(RoadCost cost);
// Names as messages list them: "metres, kilometres or miles".
std::string listedNames(const std::vector<std::string>& names);

struct RoadSettings {
    TravelMode mode = TravelMode::Drive;
    RoadCost cost = RoadCost::Distance;
    // Always one of the cost's units.
    RoadUnit unit = RoadUnit::Metres;
    // The speeds travel time is computed with.
    RoadSpeeds speeds;
    // The cell value of pairs that no road joins; without it such pairs are an error.
    std::optional<int32_t> unreachableValue;
    // Nodes farther than this from a road of the mode are refused.
    std::optional<double> maxSnapMetres;
    // How numbers in messages and the summary are written.
    NumberSeparators separators;
    // The windows read a road map only from a regular file; velmora-batch also from a pipe.
    InputKind roadMapInput = InputKind::RegularFile;
};
