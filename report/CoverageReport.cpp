#include "report/CoverageReport.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "platform/Workers.h"

namespace {

using Rows = std::vector<const int32_t*>;

// Signed values as unsigned keys in the same order.
uint32_t keyOf(int32_t value) {
    return static_cast<uint32_t>(value) ^ 0x80000000u;
}

int32_t valueOf(uint32_t key) {
    return static_cast<int32_t>(key ^ 0x80000000u);
}

// Calls visit(d) for every off-diagonal cell of rows 1..n.
template <typename Visit>
void forOffDiagonal(const Rows& rows, Visit visit) {
    const std::size_t n = rows.size();
    for (std::size_t r = 0; r < n; ++r) {
        const int32_t* row = rows[r];
        for (std::size_t c = 0; c < r; ++c) {
            visit(row[c]);
        }
        for (std::size_t c = r + 1; c < n; ++c) {
            visit(row[c]);
        }
    }
}

// The values of the given ranks (1-based, ascending) among the off-diagonal cells, which lie
// from smallest to largest. A counting pass over the values' offsets from the smallest, cut
// to at most 2^16 buckets; when the values spread wider, a second pass counts the offsets'
// lower bits within the buckets that hold the ranks.
template <std::size_t Count>
std::array<int32_t, Count> valuesOfRanks(const Rows& rows, int32_t smallest, int32_t largest,
                                         const std::array<std::size_t, Count>& ranks) {
    const uint32_t base = keyOf(smallest);
    const uint32_t range = keyOf(largest) - base;
    const int shift = std::bit_width(range >> 16);
    std::vector<uint32_t> upper((range >> shift) + 1, 0);
    forOffDiagonal(rows, [&](int32_t d) { ++upper[(keyOf(d) - base) >> shift]; });

    std::array<uint32_t, Count> bucket{};
    std::array<std::size_t, Count> rank{};
    std::size_t below = 0;
    std::size_t b = 0;
    for (std::size_t k = 0; k < Count; ++k) {
        while (below + upper[b] < ranks[k]) {
            below += upper[b++];
        }
        bucket[k] = static_cast<uint32_t>(b);
        rank[k] = ranks[k] - below;
    }
    std::array<uint32_t, Count> offset{};
    if (shift > 0) {
        const uint32_t mask = (uint32_t{1} << shift) - 1;
        std::array<std::vector<uint32_t>, Count> lower;
        for (std::size_t k = 0; k < Count; ++k) {
            if (k > 0 && bucket[k] == bucket[k - 1]) {
                lower[k] = lower[k - 1];
            } else {
                lower[k].assign(std::size_t{1} << shift, 0);
                forOffDiagonal(rows, [&](int32_t d) {
                    const uint32_t key = keyOf(d) - base;
                    if (key >> shift == bucket[k]) {
                        ++lower[k][key & mask];
                    }
                });
            }
            std::size_t seen = 0;
            uint32_t low = 0;
            while (seen + lower[k][low] < rank[k]) {
                seen += lower[k][low++];
            }
            offset[k] = low;
        }
    }
    std::array<int32_t, Count> values{};
    for (std::size_t k = 0; k < Count; ++k) {
        values[k] = valueOf(base + (bucket[k] << shift | offset[k]));
    }
    return values;
}

// Rows per block of the counting pass; every row costs about the same.
constexpr int RowsPerBlock = 16;

// What a block of rows found; blocks are merged in row order.
struct RowsFindings {
    // Diagonal cells up to the coverage and beyond it.
    std::array<int64_t, 2> diagonalEquations{};
    int64_t within = 0;
    int32_t smallest = std::numeric_limits<int32_t>::max();
    int32_t largest = std::numeric_limits<int32_t>::min();
    MatrixProblem nonZeroDiagonal;
    MatrixProblem negativeCells;
    MatrixProblem asymmetricPairs;
    MatrixProblem zeroDistancePairs;
};

// Adds the problems of later rows: their count, and their examples while there is room.
void append(MatrixProblem& problem, const MatrixProblem& later) {
    problem.count += later.count;
    for (const NodePair& example : later.examples) {
        if (problem.examples.size() < MatrixProblem::ExampleLimit) {
            problem.examples.push_back(example);
        }
    }
}

// Scans rows begin..end (1-based): what the block finds, and per row the other nodes within
// the coverage and the nearest of them.
void scanRows(const Rows& rows, int begin, int end, int32_t coverage, RowsFindings& found,
              std::vector<int>& within, std::vector<int32_t>& nearest) {
    const std::size_t size = rows.size();
    for (int i = begin; i <= end; ++i) {
        const auto r = static_cast<std::size_t>(i - 1);
        const int32_t* row = rows[r];
        const int32_t diagonal = row[r];
        ++found.diagonalEquations[diagonal <= coverage ? 0 : 1];
        if (diagonal != 0) {
            found.nonZeroDiagonal.add(i, i);
        }
        // Kept free of branches so that it vectorises; the rare problems get a pass of
        // their own.
        int rowWithin = 0;
        int negative = 0;
        int32_t rowNearest = std::numeric_limits<int32_t>::max();
        int32_t farthest = std::numeric_limits<int32_t>::min();
        const auto scan = [&](std::size_t from, std::size_t to) {
            for (std::size_t c = from; c < to; ++c) {
                const int32_t d = row[c];
                rowWithin += d <= coverage;
                negative += d < 0;
                rowNearest = std::min(rowNearest, d);
                farthest = std::max(farthest, d);
            }
        };
        scan(0, r);
        scan(r + 1, size);
        found.smallest = std::min(found.smallest, rowNearest);
        found.largest = std::max(found.largest, farthest);
        found.within += rowWithin;
        within[r] = rowWithin;
        nearest[r] = rowNearest;
        if (negative > 0 || diagonal < 0) {
            for (std::size_t c = 0; c < size; ++c) {
                if (row[c] < 0) {
                    found.negativeCells.add(i, static_cast<int>(c) + 1);
                }
            }
        }
        for (std::size_t c = r + 1; c < size; ++c) {
            const int32_t d = row[c];
            const int32_t back = rows[c][r];
            if (d != back) {
                found.asymmetricPairs.add(i, static_cast<int>(c) + 1);
            } else if (d == 0) {
                found.zeroDistancePairs.add(i, static_cast<int>(c) + 1);
            }
        }
    }
}

// ceil(m * quarters / 4): the rank of the lower quartile, median or upper quartile.
std::size_t rankAt(std::size_t m, std::size_t quarters) {
    return (m * quarters + 3) / 4;
}

}  // namespace

void MatrixProblem::add(int from, int to) {
    ++count;
    if (examples.size() < ExampleLimit) {
        examples.push_back({from, to});
    }
}

CoverageReport buildCoverageReport(const TDataStore& store, int n, int demandNodes,
                                   int32_t coverage) {
    CoverageReport report;
    report.nodes = n;
    report.demandNodes = demandNodes;
    report.coverage = coverage;
    if (n <= 0) {
        return report;
    }
    Rows rows(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        rows[static_cast<std::size_t>(i - 1)] = store.DistanceMatrix[i].columns();
    }
    const auto size = static_cast<std::size_t>(n);
    report.offDiagonalCells = static_cast<int64_t>(n) * (n - 1);

    // Per row: the other nodes within the coverage and the nearest of them.
    std::vector<int> within(size);
    std::vector<int32_t> nearest(size);
    std::vector<RowsFindings> blocks((size + RowsPerBlock - 1) / RowsPerBlock);
    forEachBlock(1, n, RowsPerBlock, [&](int begin, int end) {
        scanRows(rows, begin, end, coverage,
                 blocks[static_cast<std::size_t>(begin - 1) / RowsPerBlock], within, nearest);
    });

    int32_t smallest = std::numeric_limits<int32_t>::max();
    int32_t largest = std::numeric_limits<int32_t>::min();
    for (const RowsFindings& found : blocks) {
        report.equationCells[0] += found.diagonalEquations[0];
        report.equationCells[2] += found.diagonalEquations[1];
        report.offDiagonalWithinCoverage += found.within;
        smallest = std::min(smallest, found.smallest);
        largest = std::max(largest, found.largest);
        append(report.nonZeroDiagonal, found.nonZeroDiagonal);
        append(report.negativeCells, found.negativeCells);
        append(report.asymmetricPairs, found.asymmetricPairs);
        append(report.zeroDistancePairs, found.zeroDistancePairs);
    }
    int32_t largestNearest = std::numeric_limits<int32_t>::min();
    for (int i = 1; i <= std::min(demandNodes, n); ++i) {
        const auto r = static_cast<std::size_t>(i - 1);
        report.nodesWithinCoverage.push_back(within[r]);
        if (within[r] == 0) {
            report.isolatedDemandNodes.push_back(i);
        }
        largestNearest = std::max(largestNearest, nearest[r]);
    }
    report.equationCells[1] = report.offDiagonalWithinCoverage;
    report.equationCells[3] = report.offDiagonalCells - report.offDiagonalWithinCoverage;
    if (n > 1) {
        const auto m = static_cast<std::size_t>(report.offDiagonalCells);
        const auto [lower, median, upper] = valuesOfRanks(
            rows, smallest, largest, std::array{rankAt(m, 1), rankAt(m, 2), rankAt(m, 3)});
        report.offDiagonal = DistanceSpread{smallest, lower, median, upper, largest};
        if (demandNodes > 0) {
            report.coverageToCoverEveryDemandNode = largestNearest;
        }
    }
    return report;
}
