#include "roads/RoadSettings.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<TravelMode, const char*>, 2> ModeNames{{
    {TravelMode::Drive, "drive"},
    {TravelMode::Walk, "walk"},
}};

constexpr std::array<std::pair<DistanceUnit, const char*>, 3> UnitNames{{
    {DistanceUnit::Metres, "metres"},
    {DistanceUnit::Kilometres, "kilometres"},
    {DistanceUnit::Miles, "miles"},
}};

template <typename Value, std::size_t N>
const char* nameOf(const std::array<std::pair<Value, const char*>, N>& names, Value value) {
    for (const auto& [candidate, name] : names) {
        if (candidate == value) {
            return name;
        }
    }
    return names.front().second;
}

template <typename Value, std::size_t N>
std::optional<Value> valueNamed(const std::array<std::pair<Value, const char*>, N>& names,
                                std::string_view wanted) {
    for (const auto& [value, name] : names) {
        if (wanted == name) {
            return value;
        }
    }
    return std::nullopt;
}

template <typename Value, std::size_t N>
std::vector<std::string> allNames(const std::array<std::pair<Value, const char*>, N>& names) {
    std::vector<std::string> all;
    for (const auto& entry : names) {
        all.emplace_back(entry.second);
    }
    return all;
}

}  // namespace

const char* modeName(TravelMode mode) {
    return nameOf(ModeNames, mode);
}

const char* unitName(DistanceUnit unit) {
    return nameOf(UnitNames, unit);
}

std::optional<TravelMode> modeNamed(std::string_view name) {
    return valueNamed(ModeNames, name);
}

std::optional<DistanceUnit> unitNamed(std::string_view name) {
    return valueNamed(UnitNames, name);
}

std::vector<std::string> modeNames() {
    return allNames(ModeNames);
}

std::vector<std::string> unitNames() {
    return allNames(UnitNames);
}

const char* roadsOfMode(TravelMode mode) {
    return mode == TravelMode::Drive ? "for driving" : "for walking";
}

long double metresPerUnit(DistanceUnit unit) {
    switch (unit) {
        case DistanceUnit::Kilometres:
            return 1000.0L;
        case DistanceUnit::Miles:
            return 1609.344L;
        case DistanceUnit::Metres:
            break;
    }
    return 1.0L;
}
