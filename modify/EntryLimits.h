#pragma once

// The bounds of the matrix's values and of the numbers a user may enter, the same for the
// dialogs and velmora-batch.

#include <cstdint>
#include <string>

// The largest distance a transformation writes unscaled; a larger maximum forces scaling.
inline constexpr int32_t DistanceLimit = 2147483646;

// An inclusive range of entries.
struct EntryRange {
    int32_t min;
    int32_t max;
};

inline constexpr EntryRange ScaleDistanceRange{0, 1000000000};
// The constant and the coefficient of each equation.
inline constexpr EntryRange EquationFactorRange{0, 1000000000};
inline constexpr EntryRange EquationExponentRange{-10, 10};
// A value typed into a single cell of the matrix.
inline constexpr EntryRange NewCellValueRange{0, 10000};

// "0 to 10000".
inline std::string rangeText(const EntryRange& range) {
    return std::to_string(range.min) + " to " + std::to_string(range.max);
}
