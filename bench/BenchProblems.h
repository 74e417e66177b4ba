#pragma once

// The problems the benchmarks time: the largest size the store holds.

#include "store/DataStore.h"

inline constexpr int Nodes = MaxNodes;
inline constexpr int DemandNodes = 800;
// Where those problems' matrices come from.
inline const MatrixSource GreatCircle = computedSource('G');

// Nodes spread over the world, as a great-circle problem of the largest size.
void placeNodes(TDataStore& store);
// A great-circle problem of the largest size with its matrix computed.
void loadGreatCircleMatrix(TDataStore& store);
// The same with nodes 1..DemandNodes carrying two demand sets each.
void loadDemandProblem(TDataStore& store);
