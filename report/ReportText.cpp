#include "report/ReportText.h"

#include <array>
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
    Writer(char metricCode, const NumberSeparators& separators)
        : m_unit(metricCode == 'G' ? " miles" : ""), m_separators(separators) {}

    std::string count(int64_t value) const { return groupedInteger(value, m_separators); }
    std::string counted(int64_t value, const std::string& thing) const {
        return countOf(value, thing, m_separators);
    }
    std::string distance(int64_t value) const { return count(value) + m_unit; }
    // " in miles" for the great circle; other metrics have no unit.
    std::string inUnit() const { return m_unit.empty() ? "" : " in" + m_unit; }
    std::string share(int64_t part, int64_t whole) const {
        return percentText(part, whole, m_separators);
    }

    std::string text;

private:
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
    out.text += "Coverage distance: " + out.distance(report.coverage) + "\n\n";
}

void writeSpread(const CoverageReport& report, Writer& out) {
    if (!report.offDiagonal) {
        out.text += "Off-diagonal distances: none (fewer than two nodes)\n\n";
        return;
    }
    const DistanceSpread& s = *report.offDiagonal;
    out.text += "Off-diagonal distances" + out.inUnit() + " (" +
                out.counted(report.offDiagonalCells, "cell") + ")\n";
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
    std::array<int, Buckets.size()> demandNodes{};
    std::size_t last = 0;
    for (const int within : report.nodesWithinCoverage) {
        std::size_t b = 0;
        while (b + 1 < Buckets.size() && within > Buckets[b].second) {
            ++b;
        }
        ++demandNodes[b];
        last = std::max(last, b);
    }
    out.text += "Demand nodes by the number of other nodes within the coverage\n";
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
        out.text +=
            "  " + padded(label, 14, false) + padded(out.count(demandNodes[b]), 8, true) + "\n";
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
    if (report.coverageToCoverEveryDemandNode) {
        out.text += "Smallest coverage with no isolated demand node: " +
                    out.distance(*report.coverageToCoverEveryDemandNode) + "\n";
    }
    out.text += "\n";
}

void writeEquations(const CoverageReport& report, Writer& out) {
    static constexpr std::array<const char*, 4> Names{
        "up to the coverage, diagonal", "up to the coverage, off the diagonal",
        "beyond the coverage, diagonal", "beyond the coverage, off the diagonal"};
    out.text += "Cells by equation at this coverage\n";
    for (std::size_t k = 0; k < Names.size(); ++k) {
        out.text += "  " + std::to_string(k) + "  " + padded(Names[k], 38, false) +
                    padded(out.count(report.equationCells[k]), 10, true) + "\n";
    }
    out.text += "\n";
}

// "negative cells: 7, the first at (2, 1), (3, 1)"; diagonal cells are named by their node.
void writeProblem(const char* name, const MatrixProblem& problem, bool diagonal, Writer& out) {
    out.text += "  " + std::string(name) + ": ";
    if (problem.count == 0) {
        out.text += "none\n";
        return;
    }
    const bool all = problem.count == static_cast<int64_t>(problem.examples.size());
    out.text += out.count(problem.count) + (all ? ", at" : ", the first at");
    out.text += diagonal ? (problem.count == 1 ? " node" : " nodes") : "";
    for (std::size_t k = 0; k < problem.examples.size(); ++k) {
        const NodePair& pair = problem.examples[k];
        out.text += k == 0 ? " " : ", ";
        out.text += diagonal
                        ? std::to_string(pair.from)
                        : "(" + std::to_string(pair.from) + ", " + std::to_string(pair.to) + ")";
    }
    out.text += "\n";
}

}  // namespace

std::string coverageReportText(const CoverageReport& report, char metricCode,
                               const NumberSeparators& separators) {
    Writer out(metricCode, separators);
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
