#pragma once

// The demand the report counts: each demand node's two demand sets weighted as the load
// dialog weighs them. The load keeps any demand; the report takes none below 0.

#include <optional>
#include <string>
#include <vector>

#include "platform/NumberText.h"
#include "report/CoverageReport.h"
#include "store/DataStore.h"

struct NegativeDemand {
    int node = 0;   // also the line of the demand file
    int field = 0;  // 4 or 5
    double value = 0;
};

// The first negative demand of nodes 1..demandNodes in file order, fields 4 before 5.
std::optional<NegativeDemand> firstNegativeDemand(const TDataStore& store, int demandNodes);
// "field 4 holds a negative demand (-5); the report counts demand of 0 or more": the file
// and line are the caller's to name.
std::string negativeDemandText(const NegativeDemand& negative, char decimalSeparator);

// (p·d1 + (100 − p)·d2) / 100 per demand node, p the weight on demand set 1 in hundredths.
std::vector<double> weightedDemands(const TDataStore& store, int demandNodes, int weightPercent);

// Totals of the weighted demand at the report's coverage.
void countDemand(CoverageReport& report, std::vector<double> ofNode, int weightPercent);
