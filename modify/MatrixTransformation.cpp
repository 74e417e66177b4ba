#include "modify/MatrixTransformation.h"

#include <algorithm>
#include <cmath>

#include "platform/ExtendedMath.h"
#include "platform/Workers.h"

namespace {
constexpr std::size_t CacheSize = 1 << 15;
// Every row costs the same; blocks are small so a worker slowed by other programs holds
// up little.
constexpr int RowsPerBlock = 16;
}  // namespace

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

// The off-diagonal distances one worker has evaluated, by value, with their cells, and what it
// has weighed in the first pass.
class MatrixTransformation::Evaluations {
public:
    struct Entry {
        long double value;
        int32_t key;
        int32_t cell;
        bool valid;
        bool cellValid;
    };

    explicit Evaluations(const TransformSettings& settings)
        : m_settings(settings), m_entries(CacheSize, Entry{0, 0, 0, false, false}) {}

    // The entry of off-diagonal distance d; `computed` tells a miss that evaluated it now.
    Entry& offDiagonal(int32_t d, bool& computed) {
        Entry& entry = m_entries[static_cast<uint32_t>(d) % CacheSize];
        computed = !entry.valid || entry.key != d;
        if (computed) {
            entry = {newDistance(m_settings, 1, 2, d), d, 0, true, false};
        }
        return entry;
    }

    void forgetCells() {
        for (Entry& entry : m_entries) {
            entry.cellValid = false;
        }
    }

    void startWeighing() { weighed = NewValueRange{HUGE_VALL, 0, true}; }
    void weigh(long double value) {
        weighed.smallest = std::min(weighed.smallest, value);
        if (value > weighed.largest) {
            weighed.largest = value;
        }
        weighed.finite = weighed.finite && std::isfinite(value);
    }

    NewValueRange weighed{HUGE_VALL, 0, true};

private:
    const TransformSettings& m_settings;
    std::vector<Entry> m_entries;
};

MatrixTransformation::MatrixTransformation(const TransformSettings& settings)
    : m_settings(settings) {}

MatrixTransformation::~MatrixTransformation() = default;

MatrixTransformation::Evaluations& MatrixTransformation::evaluationsOf(unsigned worker) {
    std::unique_ptr<Evaluations>& own = m_evaluations[worker];
    if (!own) {
        own = std::make_unique<Evaluations>(m_settings);
    }
    return *own;
}

void MatrixTransformation::prepareWorkers(int n) {
    m_evaluations.resize(
        std::max<std::size_t>(m_evaluations.size(), workersFor(1, n, RowsPerBlock)));
}

long double MatrixTransformation::MaximumNewDistance(const TDataStore& store, int n) {
    prepareWorkers(n);
    for (const auto& evaluations : m_evaluations) {
        if (evaluations) {
            evaluations->startWeighing();
        }
    }
    forEachBlockByWorker(1, n, RowsPerBlock, [&](unsigned worker, int begin, int end) {
        Evaluations& own = evaluationsOf(worker);
        for (int i = begin; i <= end; ++i) {
            const int32_t* row = store.DistanceMatrix[i].columns();
            for (int j = 1; j <= n; ++j) {
                const int32_t d = row[j - 1];
                if (i == j) {
                    own.weigh(newDistance(m_settings, i, i, d));
                    continue;
                }
                // A value found in the worker's evaluations has been weighed already.
                bool computed = false;
                const Evaluations::Entry& entry = own.offDiagonal(d, computed);
                if (computed) {
                    own.weigh(entry.value);
                }
            }
        }
    });
    NewValueRange range{HUGE_VALL, 0, true};
    for (const auto& evaluations : m_evaluations) {
        if (evaluations) {
            const NewValueRange& weighed = evaluations->weighed;
            range.smallest = std::min(range.smallest, weighed.smallest);
            if (weighed.largest > range.largest) {
                range.largest = weighed.largest;
            }
            range.finite = range.finite && weighed.finite;
        }
    }
    m_range = range;
    return range.largest;
}

std::optional<int32_t> MatrixTransformation::cellOf(long double value, long double maximum) const {
    const long double scale = m_settings.ScaleDistance;
    const bool userScaling = maximum >= scale && m_settings.ScaleRequested;
    const bool forcedScaling = !userScaling && maximum >= DistanceLimit;
    // A maximum of 0 means every new value is 0: nothing to scale.
    if ((userScaling || forcedScaling) && maximum > 0) {
        value = (value / maximum) * (userScaling ? scale : static_cast<long double>(DistanceLimit));
    }
    return roundToCell(value);
}

// Scaling and rounding never put a larger value below a smaller one, so when the smallest and
// the largest finite values become cells, every value between them does.
bool MatrixTransformation::everyCellFits(long double maximum) const {
    return m_range && m_range->finite && cellOf(m_range->smallest, maximum) &&
           cellOf(m_range->largest, maximum);
}

void MatrixTransformation::apply(TDataStore& store, int n, long double maximum) {
    store.Source.transformed = true;
    prepareWorkers(n);
    for (const auto& evaluations : m_evaluations) {
        if (evaluations) {
            evaluations->forgetCells();
        }
    }
    const auto cell = [&](long double value) {
        const auto rounded = cellOf(value, maximum);
        if (!rounded) {
            throw RangeError();
        }
        return *rounded;
    };
    const auto transformRows = [&](unsigned worker, int begin, int end) {
        Evaluations& own = evaluationsOf(worker);
        for (int i = begin; i <= end; ++i) {
            int32_t* row = store.DistanceMatrix[i].columns();
            for (int j = 1; j <= n; ++j) {
                const int32_t d = row[j - 1];
                if (i == j) {
                    row[j - 1] = cell(newDistance(m_settings, i, i, d));
                    continue;
                }
                bool computed = false;
                Evaluations::Entry& entry = own.offDiagonal(d, computed);
                if (!entry.cellValid) {
                    entry.cell = cell(entry.value);
                    entry.cellValid = true;
                }
                row[j - 1] = entry.cell;
            }
        }
    };
    if (everyCellFits(maximum)) {
        forEachBlockByWorker(1, n, RowsPerBlock, transformRows);
    } else {
        // A cell will stop the pass: in order, so the rows before it are done and none after.
        transformRows(0, 1, n);
    }
}
