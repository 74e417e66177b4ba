#include "store/DistanceMetrics.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/ExtendedMath.h"
#include "platform/Workers.h"

namespace {

double euclideanDistance(const NodeRecord& a, const NodeRecord& b) {
    const double dx = a.XCoord - b.XCoord;
    const double dy = a.YCoord - b.YCoord;
    const long double x = dx;
    const long double y = dy;
    return static_cast<double>(extended::sqrt(x * x + y * y));
}

double manhattanDistance(const NodeRecord& a, const NodeRecord& b) {
    const long double dx = static_cast<long double>(a.XCoord) - b.XCoord;
    const long double dy = static_cast<long double>(a.YCoord) - b.YCoord;
    return static_cast<double>(std::fabs(dx) + std::fabs(dy));
}

double toRadians(double degrees) {
    return static_cast<double>(degrees * DegreesToRadians);
}

// A node's terms of the spherical law of cosines; computing them once per node gives the
// same values as computing them for every pair.
struct SphericalNode {
    double longitude;
    long double cosLatitude;
    long double sinLatitude;
};

SphericalNode sphericalNode(const NodeRecord& node) {
    const double latitude = toRadians(node.YCoord);
    return {toRadians(node.XCoord), extended::cos(latitude), extended::sin(latitude)};
}

double sphericalDistance(const SphericalNode& a, const SphericalNode& b, long double radius) {
    const long double deltaLongitude = static_cast<long double>(a.longitude) - b.longitude;
    const double v =
        static_cast<double>(a.cosLatitude * b.cosLatitude * extended::cos(deltaLongitude) +
                            a.sinLatitude * b.sinLatitude);
    return static_cast<double>(ArcCosine(v) * radius);
}

long double earthRadius(const TDataStore& store) {
    return store.EarthDiameter * 0.5L;
}

// Rows of the triangle per block: small enough that the short rows at the end even out the
// workers' shares.
constexpr int TriangleRowsPerBlock = 8;

// Row i holds the pairs (i, j >= i), mirrored into column i; the workers take rows in blocks.
// A failing pair ends its block; the earliest block's failure is the one a plain loop meets.
template <typename Distance>
std::optional<NodePair> fillSymmetric(TDataStore& store, int n, Distance distance) {
    struct TooLarge {
        NodePair pair;
    };
    std::vector<int32_t*> rows(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
        rows[i] = store.DistanceMatrix.create(i).columns();
    }
    try {
        forEachBlock(1, n, TriangleRowsPerBlock, [&](int begin, int end) {
            for (int i = begin; i <= end; ++i) {
                const auto diagonal = roundToCell(distance(i, i));
                if (!diagonal) {
                    throw TooLarge{{i, i}};
                }
                rows[i][i - 1] = *diagonal;
                for (int j = i + 1; j <= n; ++j) {
                    const auto cell = roundToCell(distance(i, j));
                    if (!cell) {
                        throw TooLarge{{i, j}};
                    }
                    rows[i][j - 1] = *cell;
                    rows[j][i - 1] = *cell;
                }
            }
        });
    } catch (const TooLarge& failure) {
        return failure.pair;
    }
    return std::nullopt;
}

}  // namespace

double ArcCosine(double x) {
    if (x == 0) {
        return static_cast<double>(ArcCosineHalfPi);
    }
    if (x >= 1) {
        return 0;
    }
    if (x <= -1) {
        return static_cast<double>(ArcCosinePi);
    }
    const long double lx = x;
    const double t = static_cast<double>(extended::sqrt(1 - lx * lx) / lx);
    if (x > 0) {
        return static_cast<double>(extended::arcTan(t));
    }
    return static_cast<double>(extended::arcTan(t) + ArcCosinePi);
}

double GreatCircleDistance(const TDataStore& store, int i, int j) {
    if (i == j) {
        return 0;
    }
    return sphericalDistance(sphericalNode(store.NodeTable[i]), sphericalNode(store.NodeTable[j]),
                             earthRadius(store));
}

double NetworkDistance(const TDataStore& store, int i, int j) {
    return static_cast<double>(store.DistanceMatrix[i][j]);
}

double NodeDistance(const TDataStore& store, int i, int j) {
    return metricWithCode(store.MetricCode).distance(store, i, j);
}

std::optional<int32_t> roundToCell(long double value) {
    // Range first: the rounding instruction has no answer for values beyond 64 bits.
    if (!(std::fabs(value) < 4.0e9L)) {
        return std::nullopt;
    }
    // Rounds in the current mode, halves to even by default, without saving the
    // floating-point environment as nearbyint does.
    const long long rounded = std::llrint(value);
    if (rounded < std::numeric_limits<int32_t>::min() ||
        rounded > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(rounded);
}

std::optional<NodePair> computeDistanceMatrix(TDataStore& store, int n) {
    checkedSlot(n < 1 ? 1 : n);
    return metricWithCode(store.MetricCode).computeMatrix(store, n);
}

namespace {

double euclideanNodeDistance(const TDataStore& store, int i, int j) {
    return euclideanDistance(store.NodeTable[i], store.NodeTable[j]);
}

double manhattanNodeDistance(const TDataStore& store, int i, int j) {
    return manhattanDistance(store.NodeTable[i], store.NodeTable[j]);
}

std::optional<NodePair> euclideanMatrix(TDataStore& store, int n) {
    return fillSymmetric(store, n, [&](int i, int j) {
        return euclideanDistance(store.NodeTable[i], store.NodeTable[j]);
    });
}

std::optional<NodePair> manhattanMatrix(TDataStore& store, int n) {
    return fillSymmetric(store, n, [&](int i, int j) {
        return manhattanDistance(store.NodeTable[i], store.NodeTable[j]);
    });
}

std::optional<NodePair> greatCircleMatrix(TDataStore& store, int n) {
    std::vector<SphericalNode> nodes(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
        nodes[i] = sphericalNode(store.NodeTable[i]);
    }
    const long double radius = earthRadius(store);
    return fillSymmetric(store, n, [&](int i, int j) {
        return i == j ? 0.0 : sphericalDistance(nodes[i], nodes[j], radius);
    });
}

// A network distance is the cell itself: fresh rows hold 0 and stay so.
std::optional<NodePair> networkMatrix(TDataStore& store, int n) {
    for (int i = 1; i <= n; ++i) {
        store.DistanceMatrix.create(i);
    }
    return std::nullopt;
}

}  // namespace

const std::array<Metric, 4> Metrics{{
    {'E', ".EUC", "EUD", 1, "euclidean", "Euclidean", "", false, euclideanNodeDistance,
     euclideanMatrix},
    {'G', ".GRT", "GRD", 2, "great-circle", "great-circle", "miles", false, GreatCircleDistance,
     greatCircleMatrix},
    {'M', ".MAN", "MAD", 3, "manhattan", "Manhattan", "", false, manhattanNodeDistance,
     manhattanMatrix},
    {'N', ".NET", "NED", 4, "network", "network", "", true, NetworkDistance, networkMatrix},
}};

const Metric& metricWithCode(char code) {
    for (const Metric& metric : Metrics) {
        if (metric.code == code) {
            return metric;
        }
    }
    return Metrics.front();
}

const Metric* metricWithNodeFileExtension(std::string_view extension) {
    for (const Metric& metric : Metrics) {
        if (extension == metric.nodeFileExtension) {
            return &metric;
        }
    }
    return nullptr;
}

const Metric* metricNamed(std::string_view name) {
    for (const Metric& metric : Metrics) {
        if (name == metric.name) {
            return &metric;
        }
    }
    return nullptr;
}

std::vector<std::string> computedMetricNames() {
    std::vector<std::string> names;
    for (const Metric& metric : Metrics) {
        if (!metric.distancesFromFile) {
            names.emplace_back(metric.name);
        }
    }
    return names;
}
