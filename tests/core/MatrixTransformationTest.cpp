#include "modify/MatrixTransformation.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/Workers.h"

#include "store/DistanceFile.h"
#include "tests/support/TestMatrices.h"

namespace {

const NumberSeparators English{'.', ","};

// Runs both passes as the run button does; returns the scaling reports.
std::vector<std::string> transform(TDataStore& store, const TransformSettings& settings) {
    MatrixTransformation transformation(settings);
    const long double maximum = transformation.MaximumNewDistance(store, store.NodeCount);
    auto reports = scalingReports(maximum, settings, English);
    transformation.apply(store, store.NodeCount, maximum);
    return reports;
}

TransformSettings equation(int k, double constant, double coefficient, double exponent,
                           int32_t coverage = 100) {
    TransformSettings settings;
    settings.CoverageDistance = coverage;
    settings.equations.EquationConstant[k] = constant;
    settings.equations.EquationCoefficient[k] = coefficient;
    settings.equations.EquationExponent[k] = exponent;
    return settings;
}

const std::string NoScaling = "<<< NO SCALING OF DISTANCES IS NEEDED.  NONE WILL BE DONE >>>";
const std::string WillScale = "<<< DISTANCES WILL BE SCALED SO MAXIMUM DISTANCE = 10,000.0 >>>";
const std::string ShouldScale =
    "<<< DISTANCES SHOULD BE SCALED SO MAXIMUM DISTANCE = 10,000.0 >>>\r"
    "<<< BUT YOU REQUESTED NO SCALING SO THEY WILL NOT BE SCALED >>>";
const std::string MustScale =
    "<<< DISTANCES MUST BE SCALED SO MAXIMUM DISTANCE = 2,147,483,646.0 >>>";

}  // namespace

TEST(PowerOf, ZeroDistanceIsZeroWhateverTheExponent) {
    EXPECT_EQ(PowerOf(0, 1), 0);
    EXPECT_EQ(PowerOf(0, 0), 0);
    EXPECT_EQ(PowerOf(0, -2), 0);
    EXPECT_EQ(PowerOf(4, 0.5), 2);
    EXPECT_EQ(PowerOf(7, 0), 1);
    EXPECT_NEAR(static_cast<double>(PowerOf(2, -1)), 0.5, 1e-18);
}

TEST(EquationIndex, ByOldValueAgainstCoverageAndPosition) {
    EXPECT_EQ(EquationIndex(1, 1, 100, 100), 0);
    EXPECT_EQ(EquationIndex(1, 2, 100, 100), 1);
    EXPECT_EQ(EquationIndex(2, 2, 101, 100), 2);
    EXPECT_EQ(EquationIndex(2, 1, 101, 100), 3);
    EXPECT_EQ(EquationIndex(1, 1, 0, -1), 2);
}

TEST(Transformation, IdentityEquationsWithoutScalingChangeNothing) {
    TDataStore store = matrixStore({{0, 120, 9999}, {120, 0, 35}, {9999, 35, 0}});
    const TDataStore before = matrixStore({{0, 120, 9999}, {120, 0, 35}, {9999, 35, 0}});
    EXPECT_EQ(transform(store, TransformSettings{}), std::vector<std::string>{NoScaling});
    EXPECT_EQ(formatDistanceFile(store, 3), formatDistanceFile(before, 3));
}

TEST(Transformation, ZeroDistanceGivesExactlyTheConstant) {
    for (double exponent : {1.0, 0.0, -2.0, 0.5}) {
        TDataStore store = matrixStore({{0, 50}, {50, 0}});
        TransformSettings settings = equation(0, 7, 3, exponent);
        settings.ScaleRequested = false;
        transform(store, settings);
        EXPECT_EQ(store.DistanceMatrix[1][1], 7) << exponent;
        EXPECT_EQ(store.DistanceMatrix[2][2], 7) << exponent;
        EXPECT_EQ(store.DistanceMatrix[1][2], 50) << exponent;
        EXPECT_TRUE(store.Source.transformed);
    }
}

TEST(Transformation, ElementEqualToCoverageUsesTheLowerEquations) {
    TDataStore store = matrixStore({{100, 100}, {101, 101}});
    TransformSettings settings;
    settings.CoverageDistance = 100;
    settings.equations.EquationConstant = {1, 2, 3, 4};
    settings.equations.EquationCoefficient = {0, 0, 0, 0};
    transform(store, settings);
    EXPECT_EQ(store.DistanceMatrix[1][1], 1);
    EXPECT_EQ(store.DistanceMatrix[1][2], 2);
    EXPECT_EQ(store.DistanceMatrix[2][2], 3);
    EXPECT_EQ(store.DistanceMatrix[2][1], 4);
}

TEST(Transformation, NegativeCoverageSendsZeroDiagonalsToEquationTwo) {
    TDataStore store = matrixStore({{0, 5}, {5, 0}});
    TransformSettings settings = equation(2, 9, 1, 1, -1);
    transform(store, settings);
    EXPECT_EQ(store.DistanceMatrix[1][1], 9);
    EXPECT_EQ(store.DistanceMatrix[1][2], 5);
}

TEST(Transformation, MaximumExactlyAtTheScaleIsScaledToItselfUnchanged) {
    TDataStore store = matrixStore({{0, 10000}, {5000, 0}});
    EXPECT_EQ(transform(store, TransformSettings{}), std::vector<std::string>{WillScale});
    EXPECT_EQ(store.DistanceMatrix[1][2], 10000);
    EXPECT_EQ(store.DistanceMatrix[2][1], 5000);
}

TEST(Transformation, ScalingRequestedScalesTheLargestToTheScale) {
    TDataStore store = matrixStore({{0, 20000}, {5000, 0}});
    transform(store, TransformSettings{});
    EXPECT_EQ(store.DistanceMatrix[1][2], 10000);
    EXPECT_EQ(store.DistanceMatrix[2][1], 2500);
}

// A diagonal cell's new value counts towards the maximum like any other: here it is the
// largest, 100, so scaling to 50 halves every value.
TEST(Transformation, ADiagonalValueCanBeTheMaximumThatScalingDividesBy) {
    TDataStore store = matrixStore({{100, 6}, {8, 0}});
    TransformSettings settings;
    settings.CoverageDistance = 100;
    settings.ScaleDistance = 50;
    EXPECT_EQ(
        transform(store, settings),
        std::vector<std::string>{"<<< DISTANCES WILL BE SCALED SO MAXIMUM DISTANCE = 50.0 >>>"});
    EXPECT_EQ(store.DistanceMatrix[1][1], 50);
    EXPECT_EQ(store.DistanceMatrix[1][2], 3);
    EXPECT_EQ(store.DistanceMatrix[2][1], 4);
    EXPECT_EQ(store.DistanceMatrix[2][2], 0);
}

// Constants with coefficients 0 give the new values 25 and 42 exactly. In extended precision
// 25 / 42 rounds up, so (25 / 42) x 21 lies just above 12.5 and becomes 13; multiplying first
// gives exactly 12.5, which goes to the even 12, and so does dividing first in double
// precision.
TEST(Transformation, ScalingDividesByTheMaximumFirstThenMultipliesByTheScale) {
    TDataStore store = matrixStore({{0, 1}, {2, 0}});
    TransformSettings settings;
    settings.CoverageDistance = 1;
    settings.equations.EquationConstant = {0, 25, 0, 42};
    settings.equations.EquationCoefficient = {0, 0, 0, 0};
    settings.ScaleDistance = 21;
    EXPECT_EQ(
        transform(store, settings),
        std::vector<std::string>{"<<< DISTANCES WILL BE SCALED SO MAXIMUM DISTANCE = 21.0 >>>"});
    EXPECT_EQ(store.DistanceMatrix[1][2], 13);
    EXPECT_EQ(store.DistanceMatrix[2][1], 21);
    EXPECT_EQ(store.DistanceMatrix[1][1], 0);
}

TEST(Transformation, ScalingNotRequestedLeavesValuesUnscaled) {
    TDataStore store = matrixStore({{0, 20000}, {5000, 0}});
    TransformSettings settings;
    settings.ScaleRequested = false;
    EXPECT_EQ(transform(store, settings), std::vector<std::string>{ShouldScale});
    EXPECT_EQ(store.DistanceMatrix[1][2], 20000);
}

TEST(Transformation, BeyondTheCellLimitWithoutScalingIsForcedToTheLimit) {
    TDataStore store = matrixStore({{0, 1000000}, {300000, 0}});
    TransformSettings settings = equation(1, 0, 1, 2, 2000000000);
    settings.ScaleRequested = false;
    EXPECT_EQ(transform(store, settings), (std::vector<std::string>{ShouldScale, MustScale}));
    EXPECT_EQ(store.DistanceMatrix[1][2], 2147483646);
    // 0.3 squared of 2,147,483,646 is 193,273,528.14.
    EXPECT_EQ(store.DistanceMatrix[2][1], 193273528);
}

TEST(ScalingReports, TheForcedScalingBoxFromTheLimitItselfOn) {
    TransformSettings unscaled;
    unscaled.ScaleRequested = false;
    const NumberSeparators english;
    EXPECT_EQ(scalingReports(2147483646.0L, unscaled, english),
              (std::vector<std::string>{ShouldScale, MustScale}));
    EXPECT_EQ(scalingReports(2147483645.0L, unscaled, english),
              std::vector<std::string>{ShouldScale});
}

// A constant gives the limit exactly; e^(ln x) of a stored limit falls a hair short of it.
TEST(Transformation, ANewMaximumEqualToTheLimitGetsTheForcedScalingBox) {
    TDataStore store = matrixStore({{0, 5}, {7, 0}});
    TransformSettings settings;
    settings.CoverageDistance = 5;
    settings.equations.EquationConstant[1] = 2147483646;
    settings.equations.EquationCoefficient[1] = 0;
    settings.ScaleRequested = false;
    EXPECT_EQ(transform(store, settings), (std::vector<std::string>{ShouldScale, MustScale}));
    EXPECT_EQ(store.DistanceMatrix[1][2], 2147483646);
    EXPECT_EQ(store.DistanceMatrix[2][1], 7);
}

// A maximum exactly at the limit is scaled by limit / maximum = 1, which moves one value:
// 1073741823.5 - 2^-34 (the constant plus -2^-34 times 1 to the power 1) rounds down
// unscaled, but divided by 2147483646 and multiplied by it again it is exactly 1073741823.5,
// which goes to the even 1073741824.
TEST(Transformation, AMaximumExactlyAtTheLimitIsScaledByIt) {
    TDataStore store = matrixStore({{0, 1}, {5, 0}});
    TransformSettings settings;
    settings.CoverageDistance = 1;
    settings.equations.EquationConstant[1] = 1073741823.5;
    settings.equations.EquationCoefficient[1] = -0x1p-34;
    settings.equations.EquationConstant[3] = 2147483646;
    settings.equations.EquationCoefficient[3] = 0;
    settings.ScaleRequested = false;
    EXPECT_EQ(transform(store, settings), (std::vector<std::string>{ShouldScale, MustScale}));
    EXPECT_EQ(store.DistanceMatrix[1][2], 1073741824);
    EXPECT_EQ(store.DistanceMatrix[2][1], 2147483646);
}

TEST(Transformation, BeyondTheCellLimitWithScalingStoresTheScale) {
    TDataStore store = matrixStore({{0, 1000000}, {500000, 0}});
    TransformSettings settings = equation(1, 0, 1, 2, 2000000000);
    EXPECT_EQ(transform(store, settings), (std::vector<std::string>{WillScale, MustScale}));
    EXPECT_EQ(store.DistanceMatrix[1][2], 10000);
    EXPECT_EQ(store.DistanceMatrix[2][1], 2500);
}

TEST(Transformation, NewValuesRoundHalfToEven) {
    TDataStore store = matrixStore({{0, 5}, {7, 0}});
    TransformSettings settings = equation(1, 0, 0.5, 1);
    transform(store, settings);
    EXPECT_EQ(store.DistanceMatrix[1][2], 2);
    EXPECT_EQ(store.DistanceMatrix[2][1], 4);
}

TEST(Transformation, ScaleOfZeroWithEveryValueZeroLeavesZeros) {
    TDataStore store = matrixStore({{0, 5}, {7, 0}});
    TransformSettings settings;
    settings.equations.EquationCoefficient = {0, 0, 0, 0};
    settings.ScaleDistance = 0;
    EXPECT_EQ(
        transform(store, settings),
        std::vector<std::string>{"<<< DISTANCES WILL BE SCALED SO MAXIMUM DISTANCE = 0.0 >>>"});
    EXPECT_EQ(store.DistanceMatrix[1][2], 0);
    EXPECT_EQ(store.DistanceMatrix[2][1], 0);
}

class SpreadTransformation : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override { setWorkerCount(GetParam()); }
    void TearDown() override { setWorkerCount(0); }
};

// Distances beyond the evaluations' 32768 slots share slots, and rows go to several workers.
TEST_P(SpreadTransformation, SharedEvaluationEqualsTheLiteralFormulaForEveryElement) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> distance(0, 40000);
    const int n = 200;
    TDataStore store = generatedStore(
        n, [&](int i, int j) { return i == j ? distance(random) % 3 : distance(random); });
    TransformSettings settings;
    settings.CoverageDistance = 15000;
    settings.equations.EquationConstant = {1, 2.5, 3, 40};
    settings.equations.EquationCoefficient = {0.5, 1.75, 2, 0.125};
    settings.equations.EquationExponent = {1.5, 0.8, 2.2, 1.3};
    long double expectedMaximum = 0;
    std::vector<long double> literal;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            const long double value = newDistance(settings, i, j, store.DistanceMatrix[i][j]);
            literal.push_back(value);
            expectedMaximum = std::max(expectedMaximum, value);
        }
    }
    MatrixTransformation transformation(settings);
    const long double maximum = transformation.MaximumNewDistance(store, n);
    EXPECT_EQ(maximum, expectedMaximum);
    transformation.apply(store, n, maximum);
    int mismatches = 0;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            const long double scaled = (literal[(i - 1) * n + (j - 1)] / maximum) * 10000.0L;
            mismatches += store.DistanceMatrix[i][j] != *roundToCell(scaled);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// A coefficient the dialog never admits makes the two cells beyond the coverage, (880, 900)
// and (895, 3), too small for a cell; by the end of row 880 other workers would be on later
// rows. The pass stops at the first in row order as a plain loop does: every cell before it
// transformed, it and every cell after it as they were.
TEST_P(SpreadTransformation, ACellThatDoesNotFitStopsThePassWhereAPlainLoopStops) {
    const int n = MaxNodes;
    const auto old = [](int i, int j) {
        return (i == 880 && j == 900) || (i == 895 && j == 3) ? 900 : (i * 7 + j * 3) % 500;
    };
    TDataStore store = generatedStore(n, old);
    TransformSettings settings = equation(3, 0, 1, 1, 500);
    settings.equations.EquationCoefficient[3] = -1e10;
    settings.equations.EquationConstant[1] = 1;
    settings.ScaleRequested = false;
    MatrixTransformation transformation(settings);
    const long double maximum = transformation.MaximumNewDistance(store, n);
    EXPECT_NEAR(static_cast<double>(maximum), 500, 1e-9);
    EXPECT_THROW(transformation.apply(store, n, maximum), RangeError);
    int mismatches = 0;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            const bool done = i < 880 || (i == 880 && j < 900);
            // Within the coverage, equation 1 adds 1 off the diagonal and 0 adds 0 on it.
            const int32_t expected = old(i, j) + (done && i != j ? 1 : 0);
            mismatches += store.DistanceMatrix[i][j] != expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// The first rows alternate two distances that share one slot of a worker's evaluations, so
// each of their cells is evaluated anew, while the later rows hold one distance, evaluated
// once: workers given later rows are far into them when the last cell of the first rows
// stops the pass. Not one of their cells may change. How far the workers get varies from run
// to run, hence the rounds.
TEST_P(SpreadTransformation, ACellThatDoesNotFitLeavesEveryLaterRowAsItWas) {
    const int n = MaxNodes;
    const int slowRows = 16;
    const auto old = [n](int i, int j) {
        if (i == j) {
            return 0;
        }
        if (i > slowRows) {
            return 1;
        }
        if (i == slowRows && j == n) {
            return 200000;
        }
        return j % 2 == 0 ? 1000 : 1000 + 32768;
    };
    TransformSettings settings = equation(3, 0, 1, 1, 100000);
    settings.equations.EquationCoefficient[3] = -1e10;
    settings.equations.EquationConstant[1] = 1;
    settings.ScaleRequested = false;
    int mismatches = 0;
    for (int round = 0; round < 10; ++round) {
        TDataStore store = generatedStore(n, old);
        MatrixTransformation transformation(settings);
        const long double maximum = transformation.MaximumNewDistance(store, n);
        EXPECT_THROW(transformation.apply(store, n, maximum), RangeError);
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j) {
                const bool done = i < slowRows || (i == slowRows && j < n);
                const int32_t expected = old(i, j) + (done && i != j ? 1 : 0);
                mismatches += store.DistanceMatrix[i][j] != expected;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// The largest count --threads admits: per-worker state is sized by the workers a pass uses.
INSTANTIATE_TEST_SUITE_P(Workers, SpreadTransformation, ::testing::Values(1u, 2u, 7u, 2147483647u));

TEST(FirstNegativeDistance, NamesTheFirstRowAndColumn) {
    const TDataStore store = matrixStore({{0, 1, 2}, {3, 0, -4}, {-5, 6, 0}});
    const auto cell = firstNegativeDistance(store, 3);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->from, 2);
    EXPECT_EQ(cell->to, 3);
    EXPECT_EQ(firstNegativeDistance(matrixStore({{0, 1}, {1, 0}}), 2), std::nullopt);
}
