#pragma once

// An arc's costs both ways as one value of two lanes, so that the arithmetic on both is one
// instruction. Each lane is added and compared exactly as a lone double would be.

#include <cstring>

#include "roads/RoadHierarchy.h"

typedef double CostPair __attribute__((vector_size(16)));
static_assert(sizeof(CostPair) == sizeof(ArcCost));

inline CostPair pairOf(const ArcCost& cost) {
    CostPair pair;
    std::memcpy(&pair, &cost, sizeof pair);
    return pair;
}

inline void store(ArcCost& cost, CostPair pair) {
    std::memcpy(&cost, &pair, sizeof pair);
}

// Each lane the least of the two.
inline CostPair least(CostPair a, CostPair b) {
    return a < b ? a : b;
}
