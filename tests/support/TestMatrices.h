#pragma once

#include <cstdint>
#include <initializer_list>

#include "store/DataStore.h"

// A store holding just a distance matrix, given row by row.
inline TDataStore matrixStore(std::initializer_list<std::initializer_list<int32_t>> rows) {
    TDataStore store;
    int r = 0;
    for (const auto& row : rows) {
        DistanceRow& cells = store.DistanceMatrix.create(++r);
        int c = 0;
        for (int32_t value : row) {
            cells[++c] = value;
        }
    }
    store.NodeCount = static_cast<uint16_t>(r);
    return store;
}
