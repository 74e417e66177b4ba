#pragma once

#include <string>

#include "report/CoverageReport.h"

// The report as one JSON object, numbers written independently of any locale. metricCode
// is the metric of the computed distances, 'N' when they were read from a distance file. The
// demand keys are written once the demand was counted.
std::string coverageReportJson(const CoverageReport& report, char metricCode);
