#include "report/CoverageReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "modify/MatrixTransformation.h"
#include "platform/Workers.h"
#include "tests/support/TestMatrices.h"

namespace {

std::vector<std::pair<int, int>> pairsOf(const MatrixProblem& problem) {
    std::vector<std::pair<int, int>> pairs;
    for (const NodePair& pair : problem.examples) {
        pairs.emplace_back(pair.from, pair.to);
    }
    return pairs;
}

// Nodes 1..3 demand, node 4 a candidate site; worked out by hand below.
TDataStore mixedProblems() {
    return matrixStore({{0, 5, -2, 9}, {7, 0, 0, 10}, {-2, 0, 0, 12}, {9, 10, 12, 3}});
}

// The k-th smallest off-diagonal value, by sorting them all.
int32_t kthByHand(const TDataStore& store, int n, std::size_t k) {
    std::vector<int32_t> values;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            if (i != j) {
                values.push_back(store.DistanceMatrix[i][j]);
            }
        }
    }
    std::sort(values.begin(), values.end());
    return values[k - 1];
}

// A problem's count and first five cells by a plain loop over the rows.
template <typename Found>
MatrixProblem problemByHand(int n, bool pairsOnly, Found found) {
    MatrixProblem problem;
    for (int i = 1; i <= n; ++i) {
        for (int j = pairsOnly ? i + 1 : 1; j <= n; ++j) {
            if (found(i, j)) {
                problem.add(i, j);
            }
        }
    }
    return problem;
}

class SpreadReport : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override { setWorkerCount(GetParam()); }
    void TearDown() override { setWorkerCount(0); }
};

}  // namespace

// Problems in rows far apart, so in blocks that different workers take: the examples are
// still the first five in row order and the counts those of the whole matrix.
TEST_P(SpreadReport, CountsAndExamplesAreThoseOfAPlainLoopOverTheRows) {
    std::mt19937 random(16);
    std::uniform_int_distribution<int32_t> value(0, 400);
    const int n = 300;
    TDataStore store = generatedStore(n, [](int, int) { return 0; });
    for (int i = 1; i <= n; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            store.DistanceMatrix[i][j] = store.DistanceMatrix[j][i] = 1 + value(random);
        }
    }
    // Nothing is within the coverage of demand nodes 60 and 210.
    for (const int row : {60, 210}) {
        for (int j = 1; j <= n; ++j) {
            store.DistanceMatrix[row][j] = j == row ? 0 : 900;
        }
    }
    for (const int row : {40, 90, 170, 171, 230, 299}) {
        store.DistanceMatrix[row][row] = row % 2 == 0 ? 5 : -5;
        store.DistanceMatrix[row][row / 2] = -1;
        store.DistanceMatrix[row + 1][row - 7] = 0;
        store.DistanceMatrix[row - 7][row + 1] = 0;
    }
    const int32_t coverage = 20;
    const CoverageReport report = buildCoverageReport(store, n, 250, coverage);
    const auto d = [&](int i, int j) { return store.DistanceMatrix[i][j]; };
    const auto same = [](const MatrixProblem& found, const MatrixProblem& expected) {
        return found.count == expected.count && pairsOf(found) == pairsOf(expected);
    };
    EXPECT_TRUE(same(report.asymmetricPairs,
                     problemByHand(n, true, [&](int i, int j) { return d(i, j) != d(j, i); })));
    EXPECT_TRUE(same(report.zeroDistancePairs, problemByHand(n, true, [&](int i, int j) {
                         return d(i, j) == 0 && d(j, i) == 0;
                     })));
    EXPECT_TRUE(same(report.negativeCells,
                     problemByHand(n, false, [&](int i, int j) { return d(i, j) < 0; })));
    EXPECT_TRUE(same(report.nonZeroDiagonal,
                     problemByHand(n, false, [&](int i, int j) { return i == j && d(i, i); })));
    std::vector<int> within;
    std::vector<int> isolated;
    int32_t coverEvery = INT32_MIN;
    int64_t diagonalBeyond = 0;
    for (int i = 1; i <= n; ++i) {
        int count = 0;
        int32_t nearest = INT32_MAX;
        for (int j = 1; j <= n; ++j) {
            if (j != i) {
                count += d(i, j) <= coverage;
                nearest = std::min(nearest, d(i, j));
            }
        }
        diagonalBeyond += d(i, i) > coverage;
        if (i <= 250) {
            within.push_back(count);
            if (count == 0) {
                isolated.push_back(i);
            }
            coverEvery = std::max(coverEvery, nearest);
        }
    }
    EXPECT_EQ(report.nodesWithinCoverage, within);
    EXPECT_EQ(report.isolatedDemandNodes, isolated);
    EXPECT_FALSE(isolated.empty());
    EXPECT_EQ(report.coverageToCoverEveryDemandNode, coverEvery);
    EXPECT_EQ(report.equationCells[2], diagonalBeyond);
    ASSERT_TRUE(report.offDiagonal);
    EXPECT_EQ(report.offDiagonal->minimum, -1);
    EXPECT_EQ(report.offDiagonal->maximum, kthByHand(store, n, std::size_t{n} * (n - 1)));
}

INSTANTIATE_TEST_SUITE_P(Workers, SpreadReport, ::testing::Values(1u, 2u, 7u));

TEST(CoverageReport, AsymmetricNegativeZeroPairsAndDiagonal) {
    const TDataStore store = mixedProblems();
    const CoverageReport report = buildCoverageReport(store, 4, 3, 5);
    EXPECT_EQ(report.offDiagonalCells, 12);
    // Sorted: -2 -2 0 0 5 7 9 9 10 10 12 12; ranks 3, 6 and 9 of 12.
    ASSERT_TRUE(report.offDiagonal);
    EXPECT_EQ(report.offDiagonal->minimum, -2);
    EXPECT_EQ(report.offDiagonal->lowerQuartile, 0);
    EXPECT_EQ(report.offDiagonal->median, 7);
    EXPECT_EQ(report.offDiagonal->upperQuartile, 10);
    EXPECT_EQ(report.offDiagonal->maximum, 12);
    EXPECT_EQ(report.asymmetricPairs.count, 1);
    EXPECT_EQ(pairsOf(report.asymmetricPairs), (std::vector<std::pair<int, int>>{{1, 2}}));
    EXPECT_EQ(report.zeroDistancePairs.count, 1);
    EXPECT_EQ(pairsOf(report.zeroDistancePairs), (std::vector<std::pair<int, int>>{{2, 3}}));
    EXPECT_EQ(report.negativeCells.count, 2);
    EXPECT_EQ(pairsOf(report.negativeCells), (std::vector<std::pair<int, int>>{{1, 3}, {3, 1}}));
    EXPECT_EQ(pairsOf(report.nonZeroDiagonal), (std::vector<std::pair<int, int>>{{4, 4}}));
    EXPECT_EQ(report.offDiagonalWithinCoverage, 5);
    EXPECT_EQ(report.equationCells, (std::array<int64_t, 4>{4, 5, 0, 7}));
    EXPECT_EQ(report.nodesWithinCoverage, (std::vector<int>{2, 1, 2}));
    EXPECT_TRUE(report.isolatedDemandNodes.empty());
    // Each demand node's nearest other node: -2, 0, -2.
    EXPECT_EQ(report.coverageToCoverEveryDemandNode, 0);
}

TEST(CoverageReport, IsolatedNodesAndTheFourEquationsAtTheEdges) {
    const TDataStore store = matrixStore({{0, 4, 9}, {4, 0, 9}, {9, 9, 0}});
    struct Case {
        int32_t coverage;
        std::array<int64_t, 4> equations;
        std::vector<int> isolated;
        std::vector<int> within;
    };
    const Case cases[] = {
        {4, {3, 2, 0, 4}, {3}, {1, 1, 0}},  // d exactly = C is within
        {3, {3, 0, 0, 6}, {1, 2, 3}, {0, 0, 0}},
        {9, {3, 6, 0, 0}, {}, {2, 2, 2}},
        {-1, {0, 0, 3, 6}, {1, 2, 3}, {0, 0, 0}},  // a zero diagonal is beyond a negative C
    };
    for (const Case& c : cases) {
        const CoverageReport report = buildCoverageReport(store, 3, 3, c.coverage);
        EXPECT_EQ(report.equationCells, c.equations) << c.coverage;
        EXPECT_EQ(report.isolatedDemandNodes, c.isolated) << c.coverage;
        EXPECT_EQ(report.nodesWithinCoverage, c.within) << c.coverage;
        EXPECT_EQ(report.coverageToCoverEveryDemandNode, 9) << c.coverage;
    }
}

TEST(CoverageReport, EquationCountsFollowTheTransformationsIndex) {
    std::mt19937 random(12);
    std::uniform_int_distribution<int32_t> value(-3, 12);
    const int n = 23;
    const TDataStore store = generatedStore(n, [&](int, int) { return value(random); });
    for (const int32_t coverage : {-4, -1, 0, 5, 12}) {
        std::array<int64_t, 4> expected{};
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j) {
                ++expected[static_cast<std::size_t>(
                    EquationIndex(i, j, store.DistanceMatrix[i][j], coverage))];
            }
        }
        EXPECT_EQ(buildCoverageReport(store, n, 10, coverage).equationCells, expected) << coverage;
    }
}

TEST(CoverageReport, QuartilesAreTheRanksOfTheSortedValuesForNarrowAndWideSpreads) {
    std::mt19937 random(7);
    // Narrow values are counted in one pass; a spread beyond 2^16 takes the second.
    const std::pair<int32_t, int32_t> spreads[] = {
        {0, 3}, {-50, 50}, {0, 12500}, {-1'000'000, 70'000}, {INT32_MIN, INT32_MAX}};
    for (const auto& [low, high] : spreads) {
        std::uniform_int_distribution<int32_t> value(low, high);
        for (const int n : {2, 3, 4, 5, 6, 17}) {
            const TDataStore store = generatedStore(n, [&](int, int) { return value(random); });
            const auto m = static_cast<std::size_t>(n * (n - 1));
            const CoverageReport report = buildCoverageReport(store, n, n, 0);
            ASSERT_TRUE(report.offDiagonal);
            const DistanceSpread& s = *report.offDiagonal;
            const std::string where =
                std::to_string(low) + ".." + std::to_string(high) + " n=" + std::to_string(n);
            EXPECT_EQ(s.minimum, kthByHand(store, n, 1)) << where;
            EXPECT_EQ(s.lowerQuartile, kthByHand(store, n, (m + 3) / 4)) << where;
            EXPECT_EQ(s.median, kthByHand(store, n, (2 * m + 3) / 4)) << where;
            EXPECT_EQ(s.upperQuartile, kthByHand(store, n, (3 * m + 3) / 4)) << where;
            EXPECT_EQ(s.maximum, kthByHand(store, n, m)) << where;
        }
    }
}

TEST(CoverageReport, TwoNodesHaveTheLowerMedian) {
    const CoverageReport report = buildCoverageReport(matrixStore({{0, 8}, {3, 0}}), 2, 1, 5);
    ASSERT_TRUE(report.offDiagonal);
    EXPECT_EQ(report.offDiagonal->median, 3);
    EXPECT_EQ(report.offDiagonal->lowerQuartile, 3);
    EXPECT_EQ(report.offDiagonal->upperQuartile, 8);
    // Row 1 is what covers node 1: D[1][2] = 8 is beyond the coverage.
    EXPECT_EQ(report.isolatedDemandNodes, std::vector<int>{1});
    EXPECT_EQ(report.coverageToCoverEveryDemandNode, 8);
}

TEST(CoverageReport, ASingleNodeHasNoOffDiagonalDistancesAndCannotBeCovered) {
    const CoverageReport report = buildCoverageReport(matrixStore({{0}}), 1, 1, 100);
    EXPECT_EQ(report.offDiagonalCells, 0);
    EXPECT_FALSE(report.offDiagonal);
    EXPECT_EQ(report.equationCells, (std::array<int64_t, 4>{1, 0, 0, 0}));
    EXPECT_EQ(report.isolatedDemandNodes, std::vector<int>{1});
    EXPECT_EQ(report.nodesWithinCoverage, std::vector<int>{0});
    EXPECT_FALSE(report.coverageToCoverEveryDemandNode);
}

TEST(CoverageReport, OnlyCandidateSitesLeaveNothingToCover) {
    const CoverageReport report = buildCoverageReport(matrixStore({{0, 1}, {1, 0}}), 2, 0, 0);
    EXPECT_TRUE(report.nodesWithinCoverage.empty());
    EXPECT_TRUE(report.isolatedDemandNodes.empty());
    EXPECT_FALSE(report.coverageToCoverEveryDemandNode);
}

TEST(CoverageReport, FullSizeWithExtremeValuesCountsWithoutOverflow) {
    const TDataStore store = generatedStore(MaxNodes, [](int i, int j) {
        return i < j ? INT32_MAX : i > j ? INT32_MIN : 0;
    });
    const CoverageReport report = buildCoverageReport(store, MaxNodes, 800, INT32_MAX);
    const int64_t pairs = int64_t{MaxNodes} * (MaxNodes - 1) / 2;
    EXPECT_EQ(report.offDiagonalCells, 2 * pairs);
    EXPECT_EQ(report.asymmetricPairs.count, pairs);
    EXPECT_EQ(report.negativeCells.count, pairs);
    EXPECT_EQ(report.asymmetricPairs.examples.size(), MatrixProblem::ExampleLimit);
    EXPECT_EQ(report.equationCells, (std::array<int64_t, 4>{MaxNodes, 2 * pairs, 0, 0}));
    ASSERT_TRUE(report.offDiagonal);
    EXPECT_EQ(report.offDiagonal->minimum, INT32_MIN);
    EXPECT_EQ(report.offDiagonal->median, INT32_MIN);
    EXPECT_EQ(report.offDiagonal->upperQuartile, INT32_MAX);
    EXPECT_EQ(report.offDiagonal->maximum, INT32_MAX);
    EXPECT_EQ(report.nodesWithinCoverage.size(), 800u);
    EXPECT_EQ(report.nodesWithinCoverage.front(), MaxNodes - 1);
    // Node 1 lies at INT32_MAX from every other node.
    EXPECT_EQ(report.coverageToCoverEveryDemandNode, INT32_MAX);
}
