#include "report/CoverageProfile.h"

#include <algorithm>
#include <limits>

#include "platform/Workers.h"

namespace {

// Rows sorted by one worker at a time, enough to pay for handing them out.
constexpr int RowsPerBlock = 32;

}  // namespace

CoverageProfile::CoverageProfile(const TDataStore& store, int n, int demandNodes)
    : m_fixed(buildCoverageReport(store, n, demandNodes, 0)) {
    if (n <= 0) {
        return;
    }
    m_rows = static_cast<std::size_t>(n);
    m_width = m_rows - 1;
    m_sorted.resize(m_rows * m_width);
    m_diagonal.resize(m_rows);
    std::vector<const int32_t*> rows(m_rows);
    for (std::size_t r = 0; r < m_rows; ++r) {
        rows[r] = store.DistanceMatrix[static_cast<int>(r) + 1].columns();
        m_diagonal[r] = rows[r][r];
    }
    std::sort(m_diagonal.begin(), m_diagonal.end());
    forEachBlock(0, n - 1, RowsPerBlock, [&](int begin, int end) {
        for (int r = begin; r <= end; ++r) {
            const auto at = static_cast<std::size_t>(r);
            const int32_t* row = rows[at];
            int32_t* sorted = m_sorted.data() + at * m_width;
            std::copy(row + at + 1, row + m_rows, std::copy(row, row + at, sorted));
            std::sort(sorted, sorted + m_width);
        }
    });
}

int64_t CoverageProfile::atMost(std::size_t r, int64_t value) const {
    if (value < std::numeric_limits<int32_t>::min()) {
        return 0;
    }
    const int32_t* row = m_sorted.data() + r * m_width;
    const auto bound = static_cast<int32_t>(std::min<int64_t>(value, INT32_MAX));
    return std::upper_bound(row, row + m_width, bound) - row;
}

int64_t CoverageProfile::allAtMost(int64_t value) const {
    int64_t count = 0;
    for (std::size_t r = 0; r < m_rows; ++r) {
        count += atMost(r, value);
    }
    return count;
}

CoverageReport CoverageProfile::report(int32_t coverage) const {
    CoverageReport report = m_fixed;
    report.coverage = coverage;
    report.offDiagonalWithinCoverage = 0;
    report.nodesWithinCoverage.clear();
    report.isolatedDemandNodes.clear();
    for (std::size_t r = 0; r < m_rows; ++r) {
        const int64_t within = atMost(r, coverage);
        report.offDiagonalWithinCoverage += within;
        if (static_cast<int>(r) < report.demandNodes) {
            report.nodesWithinCoverage.push_back(static_cast<int>(within));
            if (within == 0) {
                report.isolatedDemandNodes.push_back(static_cast<int>(r) + 1);
            }
        }
    }
    const int64_t diagonalWithin =
        std::upper_bound(m_diagonal.begin(), m_diagonal.end(), coverage) - m_diagonal.begin();
    report.equationCells = {diagonalWithin, report.offDiagonalWithinCoverage,
                            static_cast<int64_t>(m_rows) - diagonalWithin,
                            report.offDiagonalCells - report.offDiagonalWithinCoverage};
    return report;
}

DistanceBins CoverageProfile::bins(const CoverageReport& report, int targetBins) const {
    DistanceBins bins = emptyDistanceBins(report, targetBins);
    int64_t below = 0;
    for (std::size_t b = 0; b < bins.cells.size(); ++b) {
        const int64_t last = bins.first + (static_cast<int64_t>(b) + 1) * bins.width - 1;
        const int64_t upTo = allAtMost(last);
        bins.cells[b] = upTo - below;
        below = upTo;
    }
    return bins;
}
