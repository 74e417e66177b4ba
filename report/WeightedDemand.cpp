#include "report/WeightedDemand.h"

#include <algorithm>

std::optional<NegativeDemand> firstNegativeDemand(const TDataStore& store, int demandNodes) {
    for (int i = 1; i <= demandNodes; ++i) {
        const NodeDemand demand = store.NodeTable[i].Demand.value_or(NodeDemand{});
        if (demand.set1 < 0) {
            return NegativeDemand{i, 4, demand.set1};
        }
        if (demand.set2 < 0) {
            return NegativeDemand{i, 5, demand.set2};
        }
    }
    return std::nullopt;
}

std::string negativeDemandText(const NegativeDemand& negative, char decimalSeparator) {
    return "field " + std::to_string(negative.field) + " holds a negative demand (" +
           formatGeneral(negative.value, decimalSeparator) +
           "); the report counts demand of 0 or more";
}

std::vector<double> weightedDemands(const TDataStore& store, int demandNodes, int weightPercent) {
    std::vector<double> weighted;
    weighted.reserve(static_cast<std::size_t>(std::max(demandNodes, 0)));
    const long double onFirst = weightPercent;
    const long double onSecond = 100 - weightPercent;
    for (int i = 1; i <= demandNodes; ++i) {
        const NodeDemand demand = store.NodeTable[i].Demand.value_or(NodeDemand{});
        // In hundredths first: whole demands and weights stay exact.
        weighted.push_back(
            static_cast<double>((onFirst * demand.set1 + onSecond * demand.set2) / 100));
    }
    return weighted;
}

void countDemand(CoverageReport& report, std::vector<double> ofNode, int weightPercent) {
    DemandCount demand;
    demand.weightPercent = weightPercent;
    demand.ofNode = std::move(ofNode);
    std::vector<bool> isolated(demand.ofNode.size(), false);
    for (const int node : report.isolatedDemandNodes) {
        if (static_cast<std::size_t>(node) <= isolated.size()) {
            isolated[static_cast<std::size_t>(node - 1)] = true;
        }
    }
    long double total = 0;
    long double within = 0;
    long double alone = 0;
    for (std::size_t k = 0; k < demand.ofNode.size(); ++k) {
        total += demand.ofNode[k];
        (isolated[k] ? alone : within) += demand.ofNode[k];
    }
    demand.total = static_cast<double>(total);
    demand.withinCoverage = static_cast<double>(within);
    demand.isolated = static_cast<double>(alone);
    report.demand = std::move(demand);
}
