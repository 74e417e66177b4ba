#include "bench/BenchProblems.h"

#include <random>

#include "store/DistanceMetrics.h"

void placeNodes(TDataStore& store) {
    std::mt19937 random(901);
    std::uniform_real_distribution<double> longitude(-180, 180);
    std::uniform_real_distribution<double> latitude(-80, 80);
    for (int i = 1; i <= Nodes; ++i) {
        NodeRecord& node = store.NodeTable.create(i);
        node.XCoord = longitude(random);
        node.YCoord = latitude(random);
    }
    store.NodeCount = Nodes;
}

void loadGreatCircleMatrix(TDataStore& store) {
    placeNodes(store);
    store.MetricCode = 'G';
    computeDistanceMatrix(store, Nodes);
}

void loadDemandProblem(TDataStore& store) {
    loadGreatCircleMatrix(store);
    std::mt19937 random(800);
    std::uniform_int_distribution<int> demand(0, 100);
    for (int i = 1; i <= DemandNodes; ++i) {
        const double set1 = demand(random);
        const double set2 = demand(random);
        store.NodeTable[i].Demand = NodeDemand{set1, set2};
    }
}
