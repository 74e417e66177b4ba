#include "report/WeightedDemand.h"

#include <gtest/gtest.h>

#include "tests/support/TestMatrices.h"

namespace {

// Demand nodes with the given demand sets, then `sites` candidate sites; no distances.
TDataStore demandStore(const std::vector<NodeDemand>& demands, int sites) {
    TDataStore store;
    int n = 0;
    for (const NodeDemand& demand : demands) {
        storeNode(store, ++n, 0, 0).Demand = demand;
    }
    for (int k = 0; k < sites; ++k) {
        storeNode(store, ++n, 0, 0);
    }
    store.NodeCount = static_cast<uint16_t>(n);
    return store;
}

}  // namespace

TEST(WeightedDemand, WeightsInHundredthsOnTheFirstSet) {
    const TDataStore store = demandStore({{10, 20}, {40, 0}, {5, 5}, {0.1, 0.2}}, 1);
    const struct {
        int percent;
        std::vector<double> expected;
    } cases[] = {
        // 0.3 · 10 + 0.7 · 20 = 17, 0.3 · 40 = 12, 5, 0.03 + 0.14 = 0.17.
        {30, {17, 12, 5, 0.17}},
        {100, {10, 40, 5, 0.1}},
        {0, {20, 0, 5, 0.2}},
        {50, {15, 20, 5, 0.15}},
    };
    for (const auto& [percent, expected] : cases) {
        const std::vector<double> weighted = weightedDemands(store, 4, percent);
        ASSERT_EQ(weighted.size(), expected.size()) << percent;
        for (std::size_t k = 0; k < expected.size(); ++k) {
            EXPECT_DOUBLE_EQ(weighted[k], expected[k]) << percent << " node " << k + 1;
        }
    }
}

TEST(WeightedDemand, TheFirstNegativeValueInFileOrderNamesItsField) {
    EXPECT_FALSE(firstNegativeDemand(demandStore({{0, 0}, {1, -0.0}}, 0), 2));
    const struct {
        std::vector<NodeDemand> demands;
        int node;
        int field;
        std::string text;
    } cases[] = {
        {{{1, 1}, {2, -5}, {-1, 1}},
         2,
         5,
         "field 5 holds a negative demand (-5); the report counts demand of 0 or more"},
        {{{1, 1}, {-0.5, -5}},
         2,
         4,
         "field 4 holds a negative demand (-0,5); the report counts demand of 0 or more"},
    };
    for (const auto& [demands, node, field, text] : cases) {
        const auto negative =
            firstNegativeDemand(demandStore(demands, 0), static_cast<int>(demands.size()));
        ASSERT_TRUE(negative);
        EXPECT_EQ(negative->node, node);
        EXPECT_EQ(negative->field, field);
        EXPECT_EQ(negativeDemandText(*negative, ','), text);
    }
    // Candidate sites carry no demand and are not looked at.
    EXPECT_FALSE(firstNegativeDemand(demandStore({{1, 1}}, 3), 1));
}

TEST(WeightedDemand, TotalsSplitBetweenCoveredAndIsolatedNodes) {
    CoverageReport report;
    report.demandNodes = 4;
    report.isolatedDemandNodes = {2, 4};
    countDemand(report, {17, 12, 5, 0.5}, 30);
    ASSERT_TRUE(report.demand);
    EXPECT_EQ(report.demand->weightPercent, 30);
    EXPECT_DOUBLE_EQ(report.demand->total, 34.5);
    EXPECT_DOUBLE_EQ(report.demand->withinCoverage, 22);
    EXPECT_DOUBLE_EQ(report.demand->isolated, 12.5);
    EXPECT_EQ(report.demand->ofNode, (std::vector<double>{17, 12, 5, 0.5}));

    report.isolatedDemandNodes.clear();
    countDemand(report, {}, 100);
    EXPECT_EQ(report.demand->total, 0);
    EXPECT_EQ(report.demand->isolated, 0);
}
