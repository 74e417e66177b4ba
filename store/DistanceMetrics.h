#pragma once

#include <optional>

#include "store/DataStore.h"

// Distances between two loaded nodes under the metric in force (MetricCode).

inline constexpr long double DegreesToRadians = 0.0174532925199L;
inline constexpr long double ArcCosineHalfPi = 1.5707963268L;
inline constexpr long double ArcCosinePi = 3.1415926536L;

double ArcCosine(double x);
double GreatCircleDistance(const TDataStore& store, int i, int j);
double NetworkDistance(const TDataStore& store, int i, int j);
double NodeDistance(const TDataStore& store, int i, int j);

// A real distance as a matrix cell: nearest integer, halves to even; nothing when it does
// not fit a signed 32-bit cell.
std::optional<int32_t> RoundToCell(long double value);

struct NodePair {
    int from = 0;
    int to = 0;
};

// Rows 1..n hold NodeDistance(i, j) rounded into cells, exactly as evaluating every pair on
// its own would give them. Returns the first pair whose distance does not fit a cell.
std::optional<NodePair> ComputeDistanceMatrix(TDataStore& store, int n);
