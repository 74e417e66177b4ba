#include "store/DistanceMetrics.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "loading/NodeFile.h"
#include "platform/Workers.h"

namespace {

TDataStore storeWith(char metric, std::initializer_list<std::pair<double, double>> nodes) {
    TDataStore store;
    store.MetricCode = metric;
    int n = 0;
    for (const auto& [x, y] : nodes) {
        NodeRecord& node = store.NodeTable.create(++n);
        node.XCoord = x;
        node.YCoord = y;
    }
    store.NodeCount = static_cast<uint16_t>(n);
    return store;
}

}  // namespace

TEST(NodeDistance, EuclideanAndManhattan) {
    TDataStore store = storeWith('E', {{0, 0}, {3, 4}});
    EXPECT_EQ(NodeDistance(store, 1, 2), 5.0);
    EXPECT_EQ(NodeDistance(store, 2, 2), 0.0);
    store.MetricCode = 'M';
    EXPECT_EQ(NodeDistance(store, 1, 2), 7.0);
    store.MetricCode = 'X';
    EXPECT_EQ(NodeDistance(store, 2, 1), 5.0);
}

// Differences of opposite sign add their sizes: from (0, 0) to (3, -4) is 7, not |-3 + 4|.
TEST(NodeDistance, ManhattanAddsTheSizesOfDifferencesOfOppositeSign) {
    const TDataStore store = storeWith('M', {{0, 0}, {3, -4}});
    EXPECT_EQ(NodeDistance(store, 1, 2), 7.0);
    EXPECT_EQ(NodeDistance(store, 2, 1), 7.0);
}

TEST(NodeDistance, NetworkIsTheStoredCellDiagonalIncluded) {
    TDataStore store = storeWith('N', {{0, 0}, {0, 0}});
    store.DistanceMatrix.create(1)[1] = 4;
    store.DistanceMatrix[1][2] = -3;
    EXPECT_EQ(NodeDistance(store, 1, 1), 4.0);
    EXPECT_EQ(NodeDistance(store, 1, 2), -3.0);
}

TEST(GreatCircleDistance, EdgeValues) {
    TDataStore store = storeWith('G', {{0, 0}, {1, 0}, {180, 0}, {0, 90}, {1, 0}});
    store.EarthDiameter = 7918;
    const double degree = GreatCircleDistance(store, 1, 2);
    EXPECT_NEAR(degree, 69.0975850862, 1e-9);
    EXPECT_EQ(roundToCell(degree), 69);
    // Exactly the eleven-digit pi times the radius; the full pi would give 12437.565315562.
    EXPECT_EQ(GreatCircleDistance(store, 1, 3), static_cast<double>(3.1415926536 * 3959.0L));
    EXPECT_NEAR(GreatCircleDistance(store, 1, 3), 12437.5653156024, 1e-9);
    const double quarter = GreatCircleDistance(store, 1, 4);
    EXPECT_LT(quarter, 1.5707963268 * 3959);
    EXPECT_GT(quarter, 1.5707963268 * 3959 - 1e-3);
    EXPECT_EQ(GreatCircleDistance(store, 3, 3), 0.0);
    EXPECT_LT(GreatCircleDistance(store, 2, 5), 0.5);
}

TEST(ArcCosine, EdgeValuesBeforeAnyArithmetic) {
    EXPECT_EQ(ArcCosine(0), 1.5707963268);
    EXPECT_EQ(ArcCosine(1), 0.0);
    EXPECT_EQ(ArcCosine(1.0000000001), 0.0);
    EXPECT_EQ(ArcCosine(-1), 3.1415926536);
    EXPECT_EQ(ArcCosine(-2), 3.1415926536);
    EXPECT_DOUBLE_EQ(ArcCosine(0.5), 1.0471975511965976);
    EXPECT_NEAR(ArcCosine(-0.5), 2.0943951024034, 1e-12);
}

TEST(RoundToCell, HalvesGoToTheEvenNeighbourWithinThirtyTwoBits) {
    EXPECT_EQ(roundToCell(2.5L), 2);
    EXPECT_EQ(roundToCell(3.5L), 4);
    EXPECT_EQ(roundToCell(-2.5L), -2);
    EXPECT_EQ(roundToCell(2.4999L), 2);
    EXPECT_EQ(roundToCell(2147483647.4L), 2147483647);
    EXPECT_EQ(roundToCell(2147483647.5L), std::nullopt);
    EXPECT_EQ(roundToCell(-2147483648.5L), -2147483647 - 1);
    EXPECT_EQ(roundToCell(-2147483648.6L), std::nullopt);
    EXPECT_EQ(roundToCell(std::numeric_limits<long double>::quiet_NaN()), std::nullopt);
}

// The matrix is filled by one triangle, mirrored, with per-node terms computed once, its rows
// spread over the workers; every cell must still be exactly what evaluating that pair on its
// own gives.
class ComputedMatrix : public ::testing::TestWithParam<std::tuple<char, unsigned>> {
protected:
    void SetUp() override { setWorkerCount(std::get<1>(GetParam())); }
    void TearDown() override { setWorkerCount(0); }
};

TEST_P(ComputedMatrix, EqualsEvaluatingEveryPairOnItsOwn) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> longitude(-540, 540);
    std::uniform_real_distribution<double> latitude(-90, 90);
    TDataStore store;
    store.MetricCode = std::get<0>(GetParam());
    const int n = 250;
    for (int i = 1; i <= n; ++i) {
        NodeRecord& node = store.NodeTable.create(i);
        node.XCoord = longitude(random);
        node.YCoord = latitude(random);
    }
    store.NodeTable[7] = store.NodeTable[3];
    store.NodeCount = n;
    ASSERT_EQ(computeDistanceMatrix(store, n), std::nullopt);
    int mismatches = 0;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            mismatches += store.DistanceMatrix[i][j] != roundToCell(NodeDistance(store, i, j));
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(store.DistanceMatrix[3][7], 0);
}

// Only pairs (880, 890) and (890, 895) lie too far apart for a cell (2.4e9, or half the
// way round a sphere of diameter 2e9 miles), in blocks of rows that other workers may finish
// first; the one a plain loop over the triangle meets first counts.
TEST_P(ComputedMatrix, ThePairReportedIsTheFirstOfTheTriangleThatDoesNotFit) {
    TDataStore store;
    store.MetricCode = std::get<0>(GetParam());
    store.EarthDiameter = 2e9;
    const double away = store.MetricCode == 'G' ? 90 : 1.2e9;
    for (int i = 1; i <= MaxNodes; ++i) {
        const double x = i == 880 || i == 895 ? away : i == 890 ? -away : (i % 10) * 1e-6;
        storeNode(store, i, x, 0);
    }
    store.NodeCount = MaxNodes;
    const auto pair = computeDistanceMatrix(store, MaxNodes);
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->from, 880);
    EXPECT_EQ(pair->to, 890);
}

INSTANTIATE_TEST_SUITE_P(MetricsAndWorkers, ComputedMatrix,
                         ::testing::Combine(::testing::Values('E', 'G', 'M'),
                                            ::testing::Values(1u, 2u, 7u)));

TEST(ComputeDistanceMatrix, ReportsAPairBeyondThirtyTwoBits) {
    TDataStore store = storeWith('E', {{0, 0}, {1, 1}, {3e9, 0}});
    const auto pair = computeDistanceMatrix(store, 3);
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->from, 1);
    EXPECT_EQ(pair->to, 3);
}

// Expected values computed apart from the program, by the spherical law of cosines on a
// sphere of radius 3959 miles.
TEST(GreatCircleDistance, IsTheSphericalLawOfCosines) {
    TDataStore store = storeWith('G', {{-71.06, 42.36}, {2.35, 48.86}});
    store.EarthDiameter = 7918;
    EXPECT_NEAR(GreatCircleDistance(store, 1, 2), 3437.0293309917, 1e-7);
    EXPECT_EQ(GreatCircleDistance(store, 1, 2), GreatCircleDistance(store, 2, 1));
}

// 14.47952195071891 degrees of longitude along the equator are 1000.4999999985 miles with
// the truncated degrees-to-radians factor and 1000.500000001 with the full-precision one.
TEST(GreatCircleDistance, UsesTheTruncatedDegreesToRadiansFactor) {
    TDataStore store = storeWith('G', {{0, 0}, {14.47952195071891, 0}});
    store.EarthDiameter = 7918;
    EXPECT_EQ(roundToCell(GreatCircleDistance(store, 1, 2)), 1000);
    EXPECT_EQ(roundToCell(GreatCircleDistance(store, 2, 1)), 1000);
}
