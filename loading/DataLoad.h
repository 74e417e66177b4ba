#pragma once

// The load: node files into the node table, then the distance matrix read from a file or
// computed under the metric in force.

#include <string>

#include "platform/TextFile.h"
#include "store/DataStore.h"

struct LoadFiles {
    TextSource demand;
    TextSource candidates;  // empty: none
    TextSource distances;   // empty: compute the distances
};

struct LoadOutcome {
    enum class Status { Loaded, DistancesIncompatible, DistanceTooLarge };
    Status status = Status::Loaded;
    long long failedLine = 0;  // DistancesIncompatible: the line in the distance file
    int fromNode = 0;          // DistanceTooLarge: the pair
    int toNode = 0;

    bool loaded() const { return status == Status::Loaded; }
};

// The first steps of the load: the node table from the node files, without distances, and
// the number of demand nodes; stops by exception as the load does.
void loadNodes(TDataStore& store, const LoadFiles& files, char decimalSeparator);

// Run-time errors (a file that cannot be read, a field that does not convert, more nodes
// than the table holds) stop the load by exception, the nodes read so far counted.
LoadOutcome loadProblem(TDataStore& store, const LoadFiles& files, char decimalSeparator);

std::string distanceTooLargeMessage(int fromNode, int toNode);
