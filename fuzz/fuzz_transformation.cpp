#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "modify/MatrixTransformation.h"

namespace {

// The ranges the equation dialog admits.
constexpr long double ParameterMax = EquationFactorRange.max;
constexpr long double ExponentLimit = EquationExponentRange.max;
constexpr uint32_t ScaleMax = ScaleDistanceRange.max;
constexpr int LargestProblem = 12;

TransformSettings settingsFrom(InputBytes& input) {
    TransformSettings settings;
    settings.CoverageDistance = input.take<int32_t>();
    for (int k = 0; k < 4; ++k) {
        settings.equations.EquationConstant[k] =
            static_cast<double>(input.fraction() * ParameterMax);
        settings.equations.EquationCoefficient[k] =
            static_cast<double>(input.fraction() * ParameterMax);
        settings.equations.EquationExponent[k] =
            static_cast<double>(input.fraction() * 2 * ExponentLimit - ExponentLimit);
    }
    settings.ScaleDistance = static_cast<int32_t>(input.take<uint32_t>() % (ScaleMax + 1));
    settings.ScaleRequested = (input.take<uint8_t>() & 1) != 0;
    return settings;
}

// A cell as the two passes must leave it: each element evaluated on its own, then the
// user's scaling, or the forced one when the largest value would not fit a cell.
int32_t expectedCell(long double value, long double maximum, const TransformSettings& settings) {
    const long double scale = settings.ScaleDistance;
    if (maximum > 0 && maximum >= scale && settings.ScaleRequested) {
        value = (value / maximum) * scale;
    } else if (maximum >= DistanceLimit) {
        value = (value / maximum) * DistanceLimit;
    }
    const auto cell = roundToCell(value);
    require(cell.has_value());
    return *cell;
}

}  // namespace

// The transformation of a small matrix of distances of 0 or more, with settings inside the
// dialog's ranges, against evaluating every element on its own.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputBytes input(data, size);
    const int n = 1 + input.take<uint8_t>() % LargestProblem;
    const TransformSettings settings = settingsFrom(input);
    auto store = std::make_unique<TDataStore>();
    std::vector<int32_t> old;
    for (int i = 1; i <= n; ++i) {
        store->DistanceMatrix.create(i);
    }
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            // Half the cells small, so that equal distances and the coverage meet often.
            const uint32_t raw = input.take<uint32_t>();
            const int32_t d = static_cast<int32_t>((raw & 1) != 0 ? (raw >> 1) % 1000 : raw >> 1);
            store->DistanceMatrix[i][j] = d;
            old.push_back(d);
        }
    }

    long double literalMaximum = 0;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            const long double value = newDistance(settings, i, j, old[(i - 1) * n + (j - 1)]);
            if (value > literalMaximum) {
                literalMaximum = value;
            }
        }
    }
    MatrixTransformation transformation(settings);
    const long double maximum = transformation.MaximumNewDistance(*store, n);
    require(maximum == literalMaximum);
    const auto reports = scalingReports(maximum, settings, NumberSeparators{});
    require(reports.size() == (maximum >= DistanceLimit ? 2u : 1u));

    transformation.apply(*store, n, maximum);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            const long double value = newDistance(settings, i, j, old[(i - 1) * n + (j - 1)]);
            const int32_t cell = store->DistanceMatrix[i][j];
            require(cell == expectedCell(value, maximum, settings));
            require(cell >= 0 && cell <= DistanceLimit);
        }
    }
    return 0;
}
