#include "report/CoverageProfile.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "tests/support/TestMatrices.h"

namespace {

// The parts of a report that depend on the coverage, field by field.
void expectSameCounts(const CoverageReport& fast, const CoverageReport& full) {
    EXPECT_EQ(fast.coverage, full.coverage);
    EXPECT_EQ(fast.offDiagonalWithinCoverage, full.offDiagonalWithinCoverage);
    EXPECT_EQ(fast.equationCells, full.equationCells);
    EXPECT_EQ(fast.nodesWithinCoverage, full.nodesWithinCoverage);
    EXPECT_EQ(fast.isolatedDemandNodes, full.isolatedDemandNodes);
    EXPECT_EQ(fast.coverageToCoverEveryDemandNode, full.coverageToCoverEveryDemandNode);
    ASSERT_EQ(fast.offDiagonal.has_value(), full.offDiagonal.has_value());
    if (full.offDiagonal) {
        EXPECT_EQ(fast.offDiagonal->median, full.offDiagonal->median);
    }
    EXPECT_EQ(fast.negativeCells.count, full.negativeCells.count);
}

}  // namespace

// Sorted once, the matrix answers each coverage as a full pass over it does.
TEST(CoverageProfile, EveryCoverageCountsAsAFullPassDoes) {
    std::mt19937 random(18);
    const std::pair<int32_t, int32_t> spreads[] = {{0, 6}, {-20, 300}, {INT32_MIN, INT32_MAX}};
    for (const auto& [low, high] : spreads) {
        std::uniform_int_distribution<int32_t> value(low, high);
        for (const int n : {1, 2, 5, 37}) {
            const TDataStore store = generatedStore(n, [&](int, int) { return value(random); });
            const int demandNodes = n - n / 4;
            const CoverageProfile profile(store, n, demandNodes);
            std::vector<int32_t> coverages = {INT32_MIN, -1, 0, 3, 150, INT32_MAX};
            for (int k = 0; k < 4; ++k) {
                coverages.push_back(value(random));
            }
            for (const int32_t coverage : coverages) {
                SCOPED_TRACE(testing::Message() << "n " << n << " coverage " << coverage);
                const CoverageReport full = buildCoverageReport(store, n, demandNodes, coverage);
                const CoverageReport fast = profile.report(coverage);
                expectSameCounts(fast, full);
                const DistanceBins slow = binOffDiagonalDistances(store, full, 40);
                const DistanceBins quick = profile.bins(fast, 40);
                EXPECT_EQ(quick.first, slow.first);
                EXPECT_EQ(quick.width, slow.width);
                EXPECT_EQ(quick.cells, slow.cells);
            }
        }
    }
}

TEST(CoverageProfile, ASmallMatrixWorkedByHand) {
    // Off the diagonal: row 1 holds 5, 50, 8; row 2 5, 45, 5; row 3 50, 45, 44; row 4 8, 5, 44.
    const TDataStore store =
        matrixStore({{0, 5, 50, 8}, {5, 0, 45, 5}, {50, 45, 0, 44}, {8, 5, 44, 0}});
    const CoverageProfile profile(store, 4, 3);
    const CoverageReport at5 = profile.report(5);
    EXPECT_EQ(at5.offDiagonalWithinCoverage, 4);
    EXPECT_EQ(at5.nodesWithinCoverage, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(at5.isolatedDemandNodes, std::vector<int>{3});
    EXPECT_EQ(at5.equationCells, (std::array<int64_t, 4>{4, 4, 0, 8}));
    const CoverageReport at44 = profile.report(44);
    EXPECT_EQ(at44.offDiagonalWithinCoverage, 8);
    EXPECT_EQ(at44.nodesWithinCoverage, (std::vector<int>{2, 2, 1}));
    EXPECT_TRUE(at44.isolatedDemandNodes.empty());
    EXPECT_EQ(at44.equationCells, (std::array<int64_t, 4>{4, 8, 0, 4}));
    EXPECT_EQ(at44.coverageToCoverEveryDemandNode, 44);
    // 46 values over 4 bars: 20 wide, with 6 (the coverage + 1) starting one, so -14..5 holds
    // the four 5s, 6..25 the two 8s, 26..45 the 44s and 45s, 46..65 the 50s.
    const DistanceBins bins = profile.bins(at5, 4);
    EXPECT_EQ(bins.first, -14);
    EXPECT_EQ(bins.width, 20);
    EXPECT_EQ(bins.cells, (std::vector<int64_t>{4, 2, 4, 2}));
}
