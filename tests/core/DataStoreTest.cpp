#include "store/DataStore.h"

#include <gtest/gtest.h>

TEST(DataStore, SlotsRunFromOneToMaxNodesAndEveryAccessIsChecked) {
    TDataStore store;
    EXPECT_NO_THROW(store.NodeTable.create(901));
    EXPECT_NO_THROW(store.NodeTable.create(1));
    EXPECT_THROW(store.NodeTable.create(0), RangeError);
    EXPECT_THROW(store.NodeTable.create(902), RangeError);
    EXPECT_THROW(store.DistanceMatrix.create(902), RangeError);
    DistanceRow& row = store.DistanceMatrix.create(1);
    row[901] = 7;
    EXPECT_EQ(row[901], 7);
    EXPECT_THROW((void)row[0], RangeError);
    EXPECT_THROW((void)row[902], RangeError);
    EXPECT_THROW((void)store.DistanceMatrix[2], RunTimeError);
}

TEST(DataStore, RowsHaveEveryColumnWhateverTheNodeCount) {
    TDataStore store;
    store.NodeCount = 3;
    DistanceRow& row = store.DistanceMatrix.create(1);
    for (int column = 1; column <= MaxNodes; ++column) {
        EXPECT_EQ(row[column], 0);
    }
}

TEST(DataStore, ReleaseNodeFreesTheRowOnlyWhenThereIsOne) {
    TDataStore store;
    store.NodeTable.create(1);
    store.NodeTable.create(2);
    store.DistanceMatrix.create(2);
    ReleaseNode(store, 1);
    ReleaseNode(store, 2);
    EXPECT_FALSE(store.NodeTable.holds(1));
    EXPECT_FALSE(store.NodeTable.holds(2));
    EXPECT_FALSE(store.DistanceMatrix.holds(2));
    EXPECT_THROW(ReleaseNode(store, 0), RangeError);
    EXPECT_THROW(ReleaseNode(store, 902), RangeError);
}

TEST(DataStore, ResetAfterALoadStoppedAtTheLimitReleasesEveryNode) {
    TDataStore store;
    for (int i = 1; i <= MaxNodes; ++i) {
        store.NodeTable.create(i);
        store.DistanceMatrix.create(i);
    }
    store.NodeCount = 902;
    store.MetricCode = 'G';
    store.DataFileExt = ".GRT";
    store.MatrixSaved = false;
    store.Source = distanceFileSource('G', "d.GRD");
    ResetDataStore(store);
    EXPECT_EQ(store.Source.kind, MatrixSource::Kind::Metric);
    EXPECT_EQ(store.NodeCount, 0);
    EXPECT_FALSE(store.NodeTable.holds(1));
    EXPECT_FALSE(store.NodeTable.holds(901));
    EXPECT_FALSE(store.DistanceMatrix.holds(901));
    EXPECT_EQ(store.MetricCode, 'G');
    EXPECT_EQ(store.DataFileExt, ".GRT");
    EXPECT_FALSE(store.MatrixSaved);
}

TEST(DataStore, ResetOfAnEmptyStoreChangesNothing) {
    TDataStore store;
    ResetDataStore(store);
    EXPECT_EQ(store.NodeCount, 0);
    EXPECT_EQ(SmallerOf(902, MaxNodes), 901);
    EXPECT_EQ(SmallerOf(-1, 3), -1);
}
