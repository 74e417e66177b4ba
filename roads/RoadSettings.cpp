#include "roads/RoadSettings.h"

namespace {

// The row of `value` in a table that has one for each value.
template <typename Row, std::size_t N, typename Value>
const Row& rowOf(const Row (&rows)[N], Value Row::*key, Value value) {
    for (const Row& row : rows) {
        if (row.*key == value) {
            return row;
        }
    }
    return rows[0];
}

template <typename Row, std::size_t N, typename Value>
std::optional<Value> valueNamed(const Row (&rows)[N], Value Row::*key, std::string_view name) {
    for (const Row& row : rows) {
        if (name == row.name) {
            return row.*key;
        }
    }
    return std::nullopt;
}

template <typename Row, std::size_t N, typename Keep>
std::vector<std::string> namesOf(const Row (&rows)[N], Keep keep) {
    std::vector<std::string> names;
    for (const Row& row : rows) {
        if (keep(row)) {
            names.emplace_back(row.name);
        }
    }
    return names;
}

constexpr auto Every = [](const auto&) { return true; };

}  // namespace

const ModeRow& modeRow(TravelMode mode) {
    return rowOf(Modes, &ModeRow::mode, mode);
}

const CostRow& costRow(RoadCost cost) {
    return rowOf(Costs, &CostRow::cost, cost);
}

const UnitRow& unitRow(RoadUnit unit) {
    return rowOf(Units, &UnitRow::unit, unit);
}

std::optional<TravelMode> modeNamed(std::string_view name) {
    return valueNamed(Modes, &ModeRow::mode, name);
}

std::optional<RoadCost> costNamed(std::string_view name) {
    return valueNamed(Costs, &CostRow::cost, name);
}

std::optional<RoadUnit> unitNamed(std::string_view name) {
    return valueNamed(Units, &UnitRow::unit, name);
}

std::vector<std::string> modeNames() {
    return namesOf(Modes, Every);
}

std::vector<std::string> costNames() {
    return namesOf(Costs, Every);
}

std::vector<std::string> unitNames() {
    return namesOf(Units, Every);
}

std::vector<std::string> unitNames(RoadCost cost) {
    return namesOf(Units, [cost](const UnitRow& row) { return row.cost == cost; });
}

std::vector<RoadUnit> unitsOf(RoadCost cost) {
    std::vector<RoadUnit> units;
    for (const UnitRow& row : Units) {
        if (row.cost == cost) {
            units.push_back(row.unit);
        }
    }
    return units;
}

std::string listedNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    return text;
}
