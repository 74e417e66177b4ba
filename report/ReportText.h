#pragma once

#include <array>
#include <string>

#include "platform/NumberText.h"
#include "report/CoverageReport.h"

// The report as a planner reads it first: the problem's size and demand, how the distances
// spread and how much lies within the coverage, the demand nodes nothing covers, the cells
// per equation and the problems of the matrix, each number with the unit of the matrix's
// source. Lines end with LF.
std::string coverageReportText(const CoverageReport& report, const MatrixSource& source,
                               const NumberSeparators& separators);

// The report's key numbers, each as the text shown beside its name in a compact panel.
struct CoverageSummary {
    std::string source;                          // "great-circle distances in miles, ..."
    std::string coverage;                        // "300 miles"
    std::string nodes;                           // "901: 800 demand nodes, 101 candidate sites"
    std::string demand;                          // "40,233.00 (W=0.3 on demand set 1)"
    std::string cellsWithinCoverage;             // "35,872 of 810,900 (4.4%)"
    std::string isolatedDemandNodes;             // "35, demand 1,766.00 (4.4%)"
    std::string demandWithinCoverage;            // "38,467.00 (95.6%)"
    std::string coverageToCoverEveryDemandNode;  // "2,404 miles", "none"
    std::array<std::string, 4> equationCells;
    std::string asymmetricPairs;
    std::string zeroDistancePairs;
    std::string negativeCells;
    std::string nonZeroDiagonalCells;
};

CoverageSummary summarizeCoverageReport(const CoverageReport& report, const MatrixSource& source,
                                        const NumberSeparators& separators);
