#include "report/ReportText.h"

#include <algorithm>
#include <utility>

#include "report/ReportNumbers.h"

namespace {

constexpr std::size_t ListedIsolatedNodes = 20;

// Demand nodes grouped by how many other nodes lie within the coverage: from..to, the last
// open-ended.
constexpr std::array<std::pair<int, int>, 8> Buckets{
    {{0, 0}, {1, 1}, {2, 4}, {5, 9}, {10, 24}, {25, 49}, {50, 99}, {100, -1}}};

class Writer {
public:
    Writer(const MatrixSource& source, const NumberSeparators& separators)
        : m_source(source), m_unit(unitSuffix(source)), m_separators(separators) {}

    std::string count(int64_t value) const { return groupedInteger(value, m_separators); }
    std::string counted(int64_t value, const std::string& thing) const {
        return countOf(value, thing, m_separators);
    }
    std::string distance(int64_t value) const { return count(value) + m_unit; }
    // "distances in miles", "travel times in minutes", "distances" where no unit is known.
    std::string cells() const {
        return measureNoun(m_source) + (m_unit.empty() ? "" : " in" + m_unit);
    }
    const MatrixSource& source() const { return m_source; }
    std::string share(int64_t part, int64_t whole) const {
        return percentText(part, whole, m_separators);
    }
    std::string amount(double demand) const { return formatNumber(demand, 2, m_separators); }
    // " (85.3%)", or nothing when there is no demand to share.
    std::string shareOf(double part, double whole) const {
        const std::string percent = sharePercent(part, whole, m_separators);
        return percent.empty() ? "" : " (" + percent + ")";
    }
    // "W=0.3 on demand set 1", the weight as the load dialog shows it.
    std::string weight(int percent) const {
        return "W=" + formatShortest(percent / 100.0, m_separators.decimal) + " on demand set 1";
    }

    std::string text;

private:
    const MatrixSource& m_source;
    std::string m_unit;
    NumberSeparators m_separators;
};

std::string padded(std::string text, std::size_t width, bool right) {
    while (text.size() < width) {
        text.insert(right ? text.begin() : text.end(), ' ');
    }
    return text;
}

void writeNodes(const CoverageReport& report, Writer& out) {
    const int sites = report.nodes - report.demandNodes;
    out.text += out.counted(report.nodes, "node") + ": " +
                out.counted(report.demandNodes, "demand node") + ", " +
                out.counted(sites, "candidate site") + "\n";
    out.text += "Matrix: " + sourceText(out.source()) + "\n";
    if (report.demand) {
        out.text += "Weighted demand (" + out.weight(report.demand->weightPercent) +
                    "): " + out.amount(report.demand->total) + "\n";
    }
    out.text += "Coverage distance: " + out.distance(report.coverage) + "\n\n";
}

void writeSpread(const CoverageReport& report, Writer& out) {
    if (!report.offDiagonal) {
        out.text +=
            "Off-diagonal " + measureNoun(out.source()) + ": none (fewer than two nodes)\n\n";
        return;
    }
    const DistanceSpread& s = *report.offDiagonal;
    out.text +=
        "Off-diagonal " + out.cells() + " (" + out.counted(report.offDiagonalCells, "cell") + ")\n";
    out.text += "  minimum " + out.count(s.minimum) + ", lower quartile " +
                out.count(s.lowerQuartile) + ", median " + out.count(s.median) +
                ", upper quartile " + out.count(s.upperQuartile) + ", maximum " +
                out.count(s.maximum) + "\n";
    out.text += "  within the coverage: " + out.counted(report.offDiagonalWithinCoverage, "cell") +
                " (" + out.share(report.offDiagonalWithinCoverage, report.offDiagonalCells) +
                ")\n\n";
}

void writeCoverage(const CoverageReport& report, Writer& out) {
    if (report.demandNodes == 0) {
        return;
    }
    const DemandCount* demand = report.demand ? &*report.demand : nullptr;
    std::array<int, Buckets.size()> demandNodes{};
    std::array<long double, Buckets.size()> demandOf{};
    std::size_t last = 0;
    for (std::size_t k = 0; k < report.nodesWithinCoverage.size(); ++k) {
        const int within = report.nodesWithinCoverage[k];
        std::size_t b = 0;
        while (b + 1 < Buckets.size() && within > Buckets[b].second) {
            ++b;
        }
        ++demandNodes[b];
        if (demand && k < demand->ofNode.size()) {
            demandOf[b] += demand->ofNode[k];
        }
        last = std::max(last, b);
    }
    out.text += "Demand nodes by the number of other nodes within the coverage";
    out.text += demand ? ", with their demand\n" : "\n";
    for (std::size_t b = 0; b <= last; ++b) {
        const auto [from, to] = Buckets[b];
        std::string label = out.count(from);
        if (to < 0) {
            label += " or more";
        } else if (to != from) {
            label += "-" + out.count(to);
        }
        if (from == 0) {
            label += " (isolated)";
        }
        out.text += "  " + padded(label, 14, false) + padded(out.count(demandNodes[b]), 8, true);
        if (demand) {
            out.text += padded(out.amount(static_cast<double>(demandOf[b])), 16, true);
        }
        out.text += "\n";
    }
    const auto& isolated = report.isolatedDemandNodes;
    if (isolated.empty()) {
        out.text += "Isolated demand nodes: none\n";
    } else {
        out.text +=
            "Isolated demand nodes (" + out.count(static_cast<int64_t>(isolated.size())) + "):";
        for (std::size_t k = 0; k < isolated.size() && k < ListedIsolatedNodes; ++k) {
            out.text += (k == 0 ? " " : ", ") + std::to_string(isolated[k]);
        }
        if (isolated.size() > ListedIsolatedNodes) {
            out.text += " and " +
                        out.count(static_cast<int64_t>(isolated.size() - ListedIsolatedNodes)) +
                        " more";
        }
        out.text += "\n";
    }
    if (demand) {
        out.text += "Demand within the coverage: " + out.amount(demand->withinCoverage) + " of " +
                    out.amount(demand->total) + out.shareOf(demand->withinCoverage, demand->total) +
                    "\n";
        out.text += "Isolated demand: " + out.amount(demand->isolated) +
                    out.shareOf(demand->isolated, demand->total) + "\n";
    }
    if (report.coverageToCoverEveryDemandNode) {
        out.text += "Smallest coverage with no isolated demand node: " +
                    out.distance(*report.coverageToCoverEveryDemandNode) + "\n";
    }
    out.text += "\n";
}

constexpr std::array<const char*, 4> EquationNames{
    "up to the coverage, diagonal", "up to the coverage, off the diagonal",
    "beyond the coverage, diagonal", "beyond the coverage, off the diagonal"};

void writeEquations(const CoverageReport& report, Writer& out) {
    out.text += "Cells by equation at this coverage\n";
    for (std::size_t k = 0; k < EquationNames.size(); ++k) {
        out.text += "  " + std::to_string(k) + "  " + padded(EquationNames[k], 38, false) +
                    padded(out.count(report.equationCells[k]), 10, true) + "\n";
    }
    out.text += "\n";
}

// "7, the first at (2, 1), (3, 1)"; diagonal cells are named by their node.
std::string problemText(const MatrixProblem& problem, bool diagonal, const Writer& out) {
    if (problem.count == 0) {
        return "none";
    }
    const bool all = problem.count == static_cast<int64_t>(problem.examples.size());
    std::string text = out.count(problem.count) + (all ? ", at" : ", the first at");
    text += diagonal ? (problem.count == 1 ? " node" : " nodes") : "";
    for (std::size_t k = 0; k < problem.examples.size(); ++k) {
        const NodePair& pair = problem.examples[k];
        text += k == 0 ? " " : ", ";
        text += diagonal ? std::to_string(pair.from)
                         : "(" + std::to_string(pair.from) + ", " + std::to_string(pair.to) + ")";
    }
    return text;
}

void writeProblem(const char* name, const MatrixProblem& problem, bool diagonal, Writer& out) {
    out.text += "  " + std::string(name) + ": " + problemText(problem, diagonal, out) + "\n";
}

}  // namespace

std::string coverageReportText(const CoverageReport& report, const MatrixSource& source,
                               const NumberSeparators& separators) {
    Writer out(source, separators);
    writeNodes(report, out);
    writeSpread(report, out);
    writeCoverage(report, out);
    writeEquations(report, out);
    out.text += "Checks\n";
    writeProblem("asymmetric pairs", report.asymmetricPairs, false, out);
    writeProblem("zero-distance pairs (duplicate locations)", report.zeroDistancePairs, false, out);
    writeProblem("negative cells (row, column)", report.negativeCells, false, out);
    writeProblem("non-zero diagonal cells", report.nonZeroDiagonal, true, out);
    return out.text;
}

CoverageSummary summarizeCoverageReport(const CoverageReport& report, const MatrixSource& source,
                                        const NumberSeparators& separators) {
    const Writer out(source, separators);
    CoverageSummary summary;
    summary.source = sourceText(source);
    summary.coverage = out.distance(report.coverage);
    summary.nodes = out.count(report.nodes) + ": " +
                    out.counted(report.demandNodes, "demand node") + ", " +
                    out.counted(report.nodes - report.demandNodes, "candidate site");
    summary.cellsWithinCoverage =
        out.count(report.offDiagonalWithinCoverage) + " of " + out.count(report.offDiagonalCells);
    if (report.offDiagonalCells > 0) {
        summary.cellsWithinCoverage +=
            " (" + out.share(report.offDiagonalWithinCoverage, report.offDiagonalCells) + ")";
    }
    summary.isolatedDemandNodes =
        out.count(static_cast<int64_t>(report.isolatedDemandNodes.size()));
    if (const auto& demand = report.demand) {
        summary.demand = out.amount(demand->total) + " (" + out.weight(demand->weightPercent) + ")";
        summary.isolatedDemandNodes += ", demand " + out.amount(demand->isolated) +
                                       out.shareOf(demand->isolated, demand->total);
        summary.demandWithinCoverage =
            out.amount(demand->withinCoverage) + out.shareOf(demand->withinCoverage, demand->total);
    }
    summary.coverageToCoverEveryDemandNode =
        report.coverageToCoverEveryDemandNode ? out.distance(*report.coverageToCoverEveryDemandNode)
                                              : "none";
    for (std::size_t k = 0; k < summary.equationCells.size(); ++k) {
        summary.equationCells[k] = out.count(report.equationCells[k]);
    }
    summary.asymmetricPairs = problemText(report.asymmetricPairs, false, out);
    summary.zeroDistancePairs = problemText(report.zeroDistancePairs, false, out);
    summary.negativeCells = problemText(report.negativeCells, false, out);
    summary.nonZeroDiagonalCells = problemText(report.nonZeroDiagonal, true, out);
    return summary;
}
