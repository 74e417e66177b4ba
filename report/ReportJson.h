#pragma once

#include <string>

#include "report/CoverageReport.h"

// The report as one JSON object, numbers written independently of any locale, with where the
// matrix came from and its unit. The demand keys are written once the demand was counted.
std::string coverageReportJson(const CoverageReport& report, const MatrixSource& source);

// A JSON string of the text: control characters escaped; a byte that is not UTF-8, which JSON
// cannot hold, as the text \xFF.
std::string jsonString(const std::string& text);
