#pragma once

#include <string>

#include "platform/NumberText.h"
#include "report/CoverageReport.h"

// The report as a planner reads it first: the problem's size, how the distances spread and
// how much lies within the coverage, the demand nodes nothing covers, the cells per equation
// and the problems of the matrix. Lines end with LF.
std::string coverageReportText(const CoverageReport& report, char metricCode,
                               const NumberSeparators& separators);
