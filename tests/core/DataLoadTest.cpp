#include "loading/DataLoad.h"

#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"

namespace {

std::string nodes(std::initializer_list<std::pair<double, double>> points) {
    std::string text;
    int id = 0;
    for (const auto& [x, y] : points) {
        text +=
            std::to_string(++id) + " " + std::to_string(x) + " " + std::to_string(y) + " 1 1 1\r\n";
    }
    return text;
}

}  // namespace

TEST(LoadProblem, EuclideanTwoNodesGiveTheRoundedMatrix) {
    TempDir dir;
    TDataStore store;
    store.MetricCode = 'E';
    store.EarthDiameter = 0;
    const auto outcome =
        loadProblem(store, {dir.write("d.EUC", nodes({{0, 0}, {3, 4}})), "", ""}, '.');
    ASSERT_TRUE(outcome.loaded());
    EXPECT_EQ(store.EarthDiameter, 7918);
    EXPECT_EQ(store.NodeCount, 2);
    EXPECT_EQ(store.DistanceMatrix[1][1], 0);
    EXPECT_EQ(store.DistanceMatrix[1][2], 5);
    EXPECT_EQ(store.DistanceMatrix[2][1], 5);
    EXPECT_EQ(store.DistanceMatrix[2][2], 0);
    EXPECT_EQ(store.Source.kind, MatrixSource::Kind::Metric);
    EXPECT_EQ(store.Source.unit, "");
}

TEST(LoadProblem, ComputedHalvesRoundToEven) {
    TempDir dir;
    TDataStore store;
    store.MetricCode = 'M';
    ASSERT_TRUE(
        loadProblem(store, {dir.write("d.MAN", nodes({{0, 0}, {2.5, 0}, {3.5, 0}})), "", ""}, '.')
            .loaded());
    EXPECT_EQ(store.DistanceMatrix[1][2], 2);
    EXPECT_EQ(store.DistanceMatrix[1][3], 4);
    EXPECT_EQ(store.DistanceMatrix[2][3], 1);
}

TEST(LoadProblem, CandidateSitesFollowTheDemandNodes) {
    TempDir dir;
    TDataStore store;
    store.MetricCode = 'E';
    const auto outcome = loadProblem(store,
                                     {dir.write("d.EUC", nodes({{0, 0}, {1, 0}, {2, 0}})),
                                      dir.write("s.EUC", "1 10 0 x x 1\r\n2 20 0 x x 1\r\n"), ""},
                                     '.');
    ASSERT_TRUE(outcome.loaded());
    EXPECT_EQ(store.NodeCount, 5);
    EXPECT_EQ(store.DemandNodeCount, 3);
    EXPECT_EQ(store.DistanceMatrix[1][4], 10);
    EXPECT_EQ(store.DistanceMatrix[5][1], 20);
}

TEST(LoadProblem, DistancesReadFromAFileAsTheyStand) {
    TempDir dir;
    TDataStore store;
    store.MetricCode = 'N';
    const auto outcome = loadProblem(store,
                                     {dir.write("d.NET", nodes({{0, 0}, {0, 0}})), "",
                                      dir.write("d.NED", "0\r\n7\r\n-5\r\n0\r\n")},
                                     '.');
    ASSERT_TRUE(outcome.loaded());
    EXPECT_EQ(store.DistanceMatrix[2][1], 7);
    EXPECT_EQ(store.DistanceMatrix[1][2], -5);
    EXPECT_EQ(store.Source.kind, MatrixSource::Kind::DistanceFile);
    EXPECT_EQ(store.Source.file, dir.file("d.NED"));
}

TEST(LoadProblem, ADistanceFileThatRunsOutStopsTheLoad) {
    TempDir dir;
    TDataStore store;
    store.MetricCode = 'N';
    const auto outcome = loadProblem(store,
                                     {dir.write("d.NET", nodes({{0, 0}, {0, 0}})), "",
                                      dir.write("d.NED", "0\r\n7\r\n5\r\n\r\n")},
                                     '.');
    EXPECT_EQ(outcome.status, LoadOutcome::Status::DistancesIncompatible);
    EXPECT_EQ(outcome.failedLine, 5);
}

TEST(LoadProblem, ADistanceBeyondThirtyTwoBitsStopsTheLoadNamingTheNodes) {
    TempDir dir;
    TDataStore store;
    store.MetricCode = 'E';
    const auto outcome =
        loadProblem(store, {dir.write("d.EUC", "1 0 0 1 1 1\r\n2 5e9 0 1 1 1\r\n"), "", ""}, '.');
    EXPECT_EQ(outcome.status, LoadOutcome::Status::DistanceTooLarge);
    EXPECT_EQ(distanceTooLargeMessage(outcome.fromNode, outcome.toNode),
              "The distance from node 1 to node 2 is too large for the distance matrix.");
}

TEST(LoadProblem, ARepeatedLoadStartsAfreshAndKeepsNothingOfAFailedOne) {
    TempDir dir;
    TDataStore store;
    store.MetricCode = 'E';
    const std::string demand = dir.write("d.EUC", nodes({{0, 0}, {3, 4}, {6, 8}}));
    const std::string bad = dir.write("s.EUC", "1 bad 0 x x 1\r\n");
    EXPECT_THROW(loadProblem(store, {demand, bad, ""}, '.'), ConversionError);
    EXPECT_EQ(store.NodeCount, 4);
    ASSERT_TRUE(loadProblem(store, {demand, "", ""}, '.').loaded());
    EXPECT_EQ(store.NodeCount, 3);
    EXPECT_FALSE(store.NodeTable.holds(4));
    EXPECT_FALSE(store.DistanceMatrix.holds(4));
    EXPECT_EQ(store.DistanceMatrix[1][3], 10);
}

TEST(LoadProblem, AMissingNodeFileIsAnInputOutputError) {
    TempDir dir;
    TDataStore store;
    EXPECT_THROW(loadProblem(store, {dir.file("gone.EUC"), "", ""}, '.'), InOutError);
}
