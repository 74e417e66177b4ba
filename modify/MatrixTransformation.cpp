#include "modify/MatrixTransformation.h"

#include "platform/ExtendedMath.h"

namespace {
constexpr std::size_t CacheSize = 1 << 15;
}

long double PowerOf(int32_t x, double e) {
    if (x == 0) {
        return 0;
    }
    return extended::exp(e * extended::ln(static_cast<long double>(x)));
}

int EquationIndex(int i, int j, int32_t d, int32_t coverageDistance) {
    return 2 * (d > coverageDistance ? 1 : 0) + (i != j ? 1 : 0);
}

long double newDistance(const TransformSettings& settings, int i, int j, int32_t d) {
    const int k = EquationIndex(i, j, d, settings.CoverageDistance);
    const DistanceEquations& eq = settings.equations;
    const long double power = PowerOf(d, eq.EquationExponent[k]);
    const long double product = eq.EquationCoefficient[k] * power;
    return eq.EquationConstant[k] + product;
}

std::optional<NodePair> firstNegativeDistance(const TDataStore& store, int n) {
    for (int i = 1; i <= n; ++i) {
        const DistanceRow& row = store.DistanceMatrix[i];
        for (int j = 1; j <= n; ++j) {
            if (row[j] < 0) {
                return NodePair{i, j};
            }
        }
    }
    return std::nullopt;
}

std::string negativeDistanceMessage(const NodePair& cell) {
    return "<<< Negative distance in row " + std::to_string(cell.from) + ", column " +
           std::to_string(cell.to) + " ... WARNING >>>\r" +
           "The equations need distances of 0 or more: nothing was changed or saved.";
}

std::vector<std::string> scalingReports(long double maximum, const TransformSettings& settings,
                                        const NumberSeparators& separators) {
    const long double scale = settings.ScaleDistance;
    const std::string s = formatNumber(scale, 1, separators);
    std::vector<std::string> reports;
    if (maximum >= scale && settings.ScaleRequested) {
        reports.push_back("<<< DISTANCES WILL BE SCALED SO MAXIMUM DISTANCE = " + s + " >>>");
    } else if (maximum >= scale) {
        reports.push_back("<<< DISTANCES SHOULD BE SCALED SO MAXIMUM DISTANCE = " + s +
                          " >>>\r<<< BUT YOU REQUESTED NO SCALING SO THEY WILL NOT BE SCALED >>>");
    } else {
        reports.push_back("<<< NO SCALING OF DISTANCES IS NEEDED.  NONE WILL BE DONE >>>");
    }
    if (maximum >= DistanceLimit) {
        reports.push_back("<<< DISTANCES MUST BE SCALED SO MAXIMUM DISTANCE = " +
                          formatNumber(DistanceLimit, 1, separators) + " >>>");
    }
    return reports;
}

MatrixTransformation::MatrixTransformation(const TransformSettings& settings)
    : m_settings(settings), m_cache(CacheSize, CacheEntry{0, 0, 0, false, false}) {}

MatrixTransformation::CacheEntry& MatrixTransformation::offDiagonal(int32_t d, bool& computed) {
    CacheEntry& entry = m_cache[static_cast<uint32_t>(d) % CacheSize];
    computed = !entry.valid || entry.key != d;
    if (computed) {
        entry = {newDistance(m_settings, 1, 2, d), d, 0, true, false};
    }
    return entry;
}

long double MatrixTransformation::MaximumNewDistance(const TDataStore& store, int n) {
    long double maximum = 0;
    const auto keep = [&maximum](long double value) {
        if (value > maximum) {
            maximum = value;
        }
    };
    for (int i = 1; i <= n; ++i) {
        const int32_t* row = store.DistanceMatrix[i].columns();
        for (int j = 1; j <= n; ++j) {
            const int32_t d = row[j - 1];
            if (i == j) {
                keep(newDistance(m_settings, i, i, d));
                continue;
            }
            // A value found in the cache has been weighed already.
            bool computed = false;
            const CacheEntry& entry = offDiagonal(d, computed);
            if (computed) {
                keep(entry.value);
            }
        }
    }
    return maximum;
}

int32_t MatrixTransformation::cell(long double value, long double maximum) const {
    const long double scale = m_settings.ScaleDistance;
    const bool userScaling = maximum >= scale && m_settings.ScaleRequested;
    const bool forcedScaling = !userScaling && maximum >= DistanceLimit;
    // A maximum of 0 means every new value is 0: nothing to scale.
    if ((userScaling || forcedScaling) && maximum > 0) {
        value = (value / maximum) * (userScaling ? scale : static_cast<long double>(DistanceLimit));
    }
    const auto rounded = roundToCell(value);
    if (!rounded) {
        throw RangeError();
    }
    return *rounded;
}

void MatrixTransformation::apply(TDataStore& store, int n, long double maximum) {
    for (CacheEntry& entry : m_cache) {
        entry.cellValid = false;
    }
    for (int i = 1; i <= n; ++i) {
        int32_t* row = store.DistanceMatrix[i].columns();
        for (int j = 1; j <= n; ++j) {
            const int32_t d = row[j - 1];
            if (i == j) {
                row[j - 1] = cell(newDistance(m_settings, i, i, d), maximum);
                continue;
            }
            bool computed = false;
            CacheEntry& entry = offDiagonal(d, computed);
            if (!entry.cellValid) {
                entry.cell = cell(entry.value, maximum);
                entry.cellValid = true;
            }
            row[j - 1] = entry.cell;
        }
    }
}
