#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "loading/NodeFile.h"
#include "store/DataStore.h"
#include "store/DistanceMetrics.h"

// A matrix computed from the road map /maps/town.osm.pbf, as its loader records it.
inline MatrixSource roadSource(const char* mode, bool travelTime, const char* unit) {
    MatrixSource source;
    source.kind = MatrixSource::Kind::RoadMap;
    source.metricCode = 'N';
    source.file = "/maps/town.osm.pbf";
    source.mode = mode;
    source.cost = travelTime ? "time" : "distance";
    source.measure = travelTime ? "Travel time" : "Road length";
    source.unit = unit;
    return source;
}

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

// A store of n nodes whose cell (i, j) is cell(i, j).
template <typename Cell>
TDataStore generatedStore(int n, Cell cell) {
    TDataStore store;
    for (int i = 1; i <= n; ++i) {
        DistanceRow& row = store.DistanceMatrix.create(i);
        for (int j = 1; j <= n; ++j) {
            row[j] = cell(i, j);
        }
    }
    store.NodeCount = static_cast<uint16_t>(n);
    return store;
}

// A store of nodes at the given (x, y) points, the matrix computed under the metric.
inline TDataStore placedStore(const std::vector<std::pair<double, double>>& points, char metric) {
    TDataStore store;
    int n = 0;
    for (const auto& [x, y] : points) {
        storeNode(store, ++n, x, y);
    }
    store.NodeCount = static_cast<uint16_t>(n);
    store.MetricCode = metric;
    computeDistanceMatrix(store, n);
    return store;
}
