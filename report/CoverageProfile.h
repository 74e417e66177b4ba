#pragma once

// The report of one matrix at any coverage distance, quick enough to follow the coverage as
// it is typed: each row's off-diagonal distances are sorted once, and what depends on the
// coverage is then a binary search per row.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "report/CoverageCharts.h"
#include "report/CoverageReport.h"
#include "store/DataStore.h"

class CoverageProfile {
public:
    // Rows and columns 1..n of the store as they are now; nodes 1..demandNodes are demand
    // nodes, the rest candidate sites.
    CoverageProfile(const TDataStore& store, int n, int demandNodes);

    // What buildCoverageReport gives at this coverage, the demand not counted.
    CoverageReport report(int32_t coverage) const;
    // What binOffDiagonalDistances gives for a report of this matrix.
    DistanceBins bins(const CoverageReport& report, int targetBins) const;

private:
    // How many of row r's off-diagonal distances are at most `value`.
    int64_t atMost(std::size_t r, int64_t value) const;
    // The same over all rows.
    int64_t allAtMost(int64_t value) const;

    // The parts of the report that no coverage changes.
    CoverageReport m_fixed;
    std::size_t m_rows = 0;
    std::size_t m_width = 0;
    // Each row's off-diagonal distances in ascending order, one row after the other.
    std::vector<int32_t> m_sorted;
    std::vector<int32_t> m_diagonal;
};
