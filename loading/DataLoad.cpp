#include "loading/DataLoad.h"

#include "loading/NodeFile.h"
#include "store/DistanceFile.h"
#include "store/DistanceMetrics.h"

void loadNodes(TDataStore& store, const LoadFiles& files, char decimalSeparator) {
    store.EarthDiameter = 7918;
    // A repeated load must not keep rows or records of an attempt that stopped half-way.
    ResetDataStore(store);
    NodeFields fields;
    readNodeFile(store, files.demand, NodeFileKind::Demand, fields, decimalSeparator);
    store.DemandNodeCount = store.NodeCount;
    if (!files.candidates.empty()) {
        readNodeFile(store, files.candidates, NodeFileKind::CandidateSites, fields,
                     decimalSeparator);
    }
}

LoadOutcome loadProblem(TDataStore& store, const LoadFiles& files, char decimalSeparator) {
    loadNodes(store, files, decimalSeparator);
    const int n = store.NodeCount;
    LoadOutcome outcome;
    if (!files.distances.empty()) {
        const DistanceReadResult read = readDistanceFile(store, files.distances, n);
        if (!read.complete) {
            outcome.status = LoadOutcome::Status::DistancesIncompatible;
            outcome.failedLine = read.failedLine;
        }
        store.Source = distanceFileSource(store.MetricCode, files.distances.name());
        return outcome;
    }
    if (const auto pair = computeDistanceMatrix(store, n)) {
        outcome.status = LoadOutcome::Status::DistanceTooLarge;
        outcome.fromNode = pair->from;
        outcome.toNode = pair->to;
        return outcome;
    }
    store.Source = computedSource(store.MetricCode);
    return outcome;
}

std::string distanceTooLargeMessage(int fromNode, int toNode) {
    return "The distance from node " + std::to_string(fromNode) + " to node " +
           std::to_string(toNode) + " is too large for the distance matrix.";
}
