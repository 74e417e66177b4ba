#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/DataStore.h"

// The metrics a problem can be in and the distances between two loaded nodes under the
// metric in force (MetricCode).

inline constexpr long double DegreesToRadians = 0.0174532925199L;
inline constexpr long double ArcCosineHalfPi = 1.5707963268L;
inline constexpr long double ArcCosinePi = 3.1415926536L;

double ArcCosine(double x);
double GreatCircleDistance(const TDataStore& store, int i, int j);
double NetworkDistance(const TDataStore& store, int i, int j);
double NodeDistance(const TDataStore& store, int i, int j);

// A real distance as a matrix cell: nearest integer, halves to even; nothing when it does
// not fit a signed 32-bit cell.
std::optional<int32_t> roundToCell(long double value);

struct NodePair {
    int from = 0;
    int to = 0;
};

// Everything that differs between the metrics, one row each, in the order of the load
// dialog's buttons.
struct Metric {
    char code;                          // TDataStore::MetricCode
    const char* nodeFileExtension;      // TDataStore::DataFileExt
    const char* distanceFileExtension;  // the save dialogs' default extension
    int filterIndex;                    // 1-based position in the file dialogs' filter lists
    const char* name;                   // velmora-batch's --metric and the report's metric
    const char* title;                  // how a sentence names its distances
    const char* unit;                   // of the computed distances; empty when unknown
    // The distances come from a distance file, never from the nodes' coordinates.
    bool distancesFromFile;
    double (*distance)(const TDataStore& store, int i, int j);
    std::optional<NodePair> (*computeMatrix)(TDataStore& store, int n);
};

extern const std::array<Metric, 4> Metrics;

// The filter position of "All Files", following the metrics' own.
inline constexpr int AllFilesFilterIndex = 5;

// An unknown code is taken as Euclidean, the store's initial metric.
const Metric& metricWithCode(char code);
const Metric* metricWithNodeFileExtension(std::string_view extension);
const Metric* metricNamed(std::string_view name);
// The names of the metrics whose distances are computed from the nodes' coordinates.
std::vector<std::string> computedMetricNames();

// Rows 1..n hold NodeDistance(i, j) rounded into cells, exactly as evaluating every pair on
// its own would give them. Returns the first pair whose distance does not fit a cell.
std::optional<NodePair> computeDistanceMatrix(TDataStore& store, int n);
