#include "store/DataStore.h"

TDataStore DataStore;

int SmallerOf(int a, int b) {
    return a < b ? a : b;
}

void ReleaseNode(TDataStore& store, int i) {
    checkedSlot(i);
    if (store.DistanceMatrix.holds(i)) {
        store.DistanceMatrix.release(i);
    }
    store.NodeTable.release(i);
}

void ResetDataStore(TDataStore& store) {
    const int n = SmallerOf(store.NodeCount, MaxNodes);
    for (int i = 1; i <= n; ++i) {
        ReleaseNode(store, i);
    }
    store.NodeCount = 0;
    store.Source = {};
    store.DemandNodeCount = 0;
}
