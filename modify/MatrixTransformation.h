#pragma once

// The transformation of the whole matrix: every element d at (i, j) becomes
//   new = constant[k] + coefficient[k] * d ^ exponent[k],
// k = 2 * (d > coverage) + (i != j), in extended precision; then optional scaling so the
// largest value equals the scale distance, forced scaling when it would not fit a cell, and
// rounding half to even back into the cells.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "modify/EntryLimits.h"
#include "platform/NumberText.h"
#include "store/DataStore.h"
#include "store/DistanceMetrics.h"

struct DistanceEquations {
    std::array<double, 4> EquationConstant{0, 0, 0, 0};
    std::array<double, 4> EquationCoefficient{1, 1, 1, 1};
    std::array<double, 4> EquationExponent{1, 1, 1, 1};
};

struct TransformSettings {
    int32_t CoverageDistance = 0;
    DistanceEquations equations;
    int32_t ScaleDistance = 10000;
    bool ScaleRequested = true;
};

// 0 for x = 0 whatever the exponent; otherwise e ^ (e * ln x).
long double PowerOf(int32_t x, double e);
int EquationIndex(int i, int j, int32_t d, int32_t coverageDistance);
long double newDistance(const TransformSettings& settings, int i, int j, int32_t d);

// The equations are defined for distances of 0 or more; a file read from disk can hold less.
std::optional<NodePair> firstNegativeDistance(const TDataStore& store, int n);
std::string negativeDistanceMessage(const NodePair& cell);

// The boxes that report on scaling, in the order they are shown: exactly one of the first
// three kinds, then the forced-scaling one when the maximum reaches DistanceLimit.
std::vector<std::string> scalingReports(long double maximum, const TransformSettings& settings,
                                        const NumberSeparators& separators);

// Both passes share one evaluation of each distinct (value, position) pair per worker, which
// gives the same values as evaluating every element on its own.
class MatrixTransformation {
public:
    explicit MatrixTransformation(const TransformSettings& settings);
    ~MatrixTransformation();

    long double MaximumNewDistance(const TDataStore& store, int n);
    // Transforms rows and columns 1..n in place, scaled by the maximum of the first pass,
    // which must have weighed the same matrix. A cell that does not fit stops it with the
    // range error, the cells before it in row order transformed and none after it.
    void apply(TDataStore& store, int n, long double maximum);

private:
    class Evaluations;
    // The new values the first pass met, when it has run: smallest and largest, and whether
    // each was a finite number.
    struct NewValueRange {
        long double smallest;
        long double largest;
        bool finite;
    };

    // Room for the evaluations of every worker a pass over n rows uses; each worker creates
    // its own on first use.
    void prepareWorkers(int n);
    Evaluations& evaluationsOf(unsigned worker);
    // The cell a new value becomes; none when it does not fit.
    std::optional<int32_t> cellOf(long double value, long double maximum) const;
    // Whether every value of the range becomes a cell, so no cell can stop the second pass.
    bool everyCellFits(long double maximum) const;

    TransformSettings m_settings;
    // One set per worker: workers never wait for each other's evaluations.
    std::vector<std::unique_ptr<Evaluations>> m_evaluations;
    std::optional<NewValueRange> m_range;
};
