#include <gtest/gtest.h>

#include <limits>

#include "report/ReportJson.h"
#include "report/ReportNumbers.h"
#include "report/ReportText.h"
#include "report/WeightedDemand.h"
#include "tests/support/TestMatrices.h"

namespace {

const NumberSeparators English{'.', ","};
const NumberSeparators German{',', "."};

TDataStore mixedProblems() {
    return matrixStore({{0, 5, -2, 9}, {7, 0, 0, 10}, {-2, 0, 0, 12}, {9, 10, 12, 3}});
}

}  // namespace

TEST(ReportNumbers, PercentagesToATenthHalvesToEven) {
    EXPECT_EQ(percentText(1, 3, English), "33.3%");
    EXPECT_EQ(percentText(2, 3, German), "66,7%");
    EXPECT_EQ(percentText(1, 16, English), "6.2%");   // 6.25
    EXPECT_EQ(percentText(3, 16, English), "18.8%");  // 18.75
    EXPECT_EQ(percentText(0, 5, English), "0.0%");
    EXPECT_EQ(percentText(810900, 810900, English), "100.0%");
    EXPECT_EQ(percentText(1, 0, English), "");
}

TEST(ReportNumbers, JsonNumbersReadBackAsTheSameDouble) {
    EXPECT_EQ(jsonNumber(0.6), "0.6");
    EXPECT_EQ(jsonNumber(5.0 / 12), "0.4166666666666667");
}

TEST(ReportJson, EveryKeyForAMatrixWithProblems) {
    const CoverageReport report = buildCoverageReport(mixedProblems(), 4, 3, 5);
    EXPECT_EQ(coverageReportJson(report, distanceFileSource('N', "d.NED")),
              "{\n"
              "  \"nodes\": 4,\n"
              "  \"demandNodes\": 3,\n"
              "  \"candidateSites\": 1,\n"
              "  \"coverage\": 5,\n"
              "  \"metric\": \"network\",\n"
              "  \"source\": {\"kind\": \"distance-file\", \"file\": \"d.NED\"},\n"
              "  \"unit\": null,\n"
              "  \"offDiagonal\": {\"cells\": 12, \"minimum\": -2, \"lowerQuartile\": 0, "
              "\"median\": 7, \"upperQuartile\": 10, \"maximum\": 12, \"withinCoverage\": 5, "
              "\"shareWithinCoverage\": 0.4166666666666667},\n"
              "  \"equationCells\": [4, 5, 0, 7],\n"
              "  \"isolatedDemandNodes\": [],\n"
              "  \"nodesWithinCoverage\": [2, 1, 2],\n"
              "  \"nodesWithinCoverageDistribution\": [{\"nodes\": 1, \"demandNodes\": 1}, "
              "{\"nodes\": 2, \"demandNodes\": 2}],\n"
              "  \"coverageToCoverEveryDemandNode\": 0,\n"
              "  \"asymmetricPairs\": 1,\n"
              "  \"asymmetricPairExamples\": [[1, 2]],\n"
              "  \"zeroDistancePairs\": 1,\n"
              "  \"zeroDistancePairExamples\": [[2, 3]],\n"
              "  \"negativeCells\": 2,\n"
              "  \"negativeCellExamples\": [[1, 3], [3, 1]],\n"
              "  \"nonZeroDiagonalCells\": 1,\n"
              "  \"nonZeroDiagonalNodes\": [4]\n"
              "}\n");
}

TEST(ReportJson, ASingleNodeGivesNullsWhereNothingCanBeSaid) {
    const std::string json =
        coverageReportJson(buildCoverageReport(matrixStore({{0}}), 1, 1, 3), computedSource('G'));
    EXPECT_NE(json.find("\"metric\": \"great-circle\""), std::string::npos);
    EXPECT_NE(json.find("\"offDiagonal\": {\"cells\": 0, \"minimum\": null, \"lowerQuartile\": "
                        "null, \"median\": null, \"upperQuartile\": null, \"maximum\": null, "
                        "\"withinCoverage\": 0, \"shareWithinCoverage\": null}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"isolatedDemandNodes\": [1]"), std::string::npos);
    EXPECT_NE(json.find("\"coverageToCoverEveryDemandNode\": null"), std::string::npos);
}

TEST(ReportJson, TheSourceAndUnitSayWhereTheMatrixCameFrom) {
    MatrixSource roads = roadSource("drive", true, "minutes");
    roads.file = "/m/\"t\\o\x1B\xFF\xE2\x80\xAEn.osm";
    const std::pair<MatrixSource, const char*> rows[] = {
        {computedSource('G'),
         "\"source\": {\"kind\": \"metric\", \"metric\": \"great-circle\"},\n  \"unit\": "
         "\"miles\""},
        {roads,
         "\"source\": {\"kind\": \"road-map\", \"file\": "
         "\"/m/\\\"t\\\\o\\u001B\\\\xFF\\u202En.osm\", "
         "\"mode\": \"drive\", \"cost\": \"time\", \"unit\": \"minutes\"},\n  \"unit\": "
         "\"minutes\""},
    };
    const CoverageReport report = buildCoverageReport(mixedProblems(), 4, 3, 5);
    for (const auto& [source, keys] : rows) {
        EXPECT_NE(coverageReportJson(report, source).find(keys), std::string::npos) << keys;
    }
    EXPECT_NE(coverageReportText(report, roads, English)
                  .find("Coverage distance: 5 minutes\n\nOff-diagonal travel times in minutes"),
              std::string::npos);
}

TEST(ReportText, TheWholeReportWithTheConsolesSeparators) {
    const CoverageReport report = buildCoverageReport(mixedProblems(), 4, 3, 5);
    EXPECT_EQ(coverageReportText(report, computedSource('G'), German),
              "4 nodes: 3 demand nodes, 1 candidate site\n"
              "Matrix: great-circle distances in miles, computed from the node files\n"
              "Coverage distance: 5 miles\n"
              "\n"
              "Off-diagonal distances in miles (12 cells)\n"
              "  minimum -2, lower quartile 0, median 7, upper quartile 10, maximum 12\n"
              "  within the coverage: 5 cells (41,7%)\n"
              "\n"
              "Demand nodes by the number of other nodes within the coverage\n"
              "  0 (isolated)         0\n"
              "  1                    1\n"
              "  2-4                  2\n"
              "Isolated demand nodes: none\n"
              "Smallest coverage with no isolated demand node: 0 miles\n"
              "\n"
              "Cells by equation at this coverage\n"
              "  0  up to the coverage, diagonal                   4\n"
              "  1  up to the coverage, off the diagonal           5\n"
              "  2  beyond the coverage, diagonal                  0\n"
              "  3  beyond the coverage, off the diagonal          7\n"
              "\n"
              "Checks\n"
              "  asymmetric pairs: 1, at (1, 2)\n"
              "  zero-distance pairs (duplicate locations): 1, at (2, 3)\n"
              "  negative cells (row, column): 2, at (1, 3), (3, 1)\n"
              "  non-zero diagonal cells: 1, at node 4\n");
}

TEST(ReportText, LongListsAreCutAndLargeNumbersGrouped) {
    const int n = 30;
    const TDataStore store = generatedStore(n, [](int i, int j) {
        return i == j ? 0 : i < j ? 1500 : -1500;
    });
    const std::string text =
        coverageReportText(buildCoverageReport(store, n, 25, 1000), computedSource('E'), English);
    EXPECT_NE(text.find("Isolated demand nodes (1): 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("minimum -1,500, lower quartile -1,500, median -1,500, upper quartile "
                        "1,500, maximum 1,500\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  asymmetric pairs: 435, the first at (1, 2), (1, 3), (1, 4), (1, 5), "
                        "(1, 6)\n"),
              std::string::npos)
        << text;
    // Nodes 1..25 have 0..24 others within the coverage; no row for emptier buckets beyond.
    EXPECT_NE(text.find("  10-24               15\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("25-49"), std::string::npos) << text;
}

TEST(ReportText, ManyIsolatedNodesAreListedInPart) {
    const int n = 26;
    const TDataStore store = generatedStore(n, [](int i, int j) { return i == j ? 0 : 50; });
    const std::string text =
        coverageReportText(buildCoverageReport(store, n, 26, 10), computedSource('E'), English);
    EXPECT_NE(
        text.find("Isolated demand nodes (26): 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, "
                  "15, 16, 17, 18, 19, 20 and 6 more\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("  0 (isolated)        26\n"), std::string::npos) << text;
}

namespace {

// Demand nodes 1..3 and a candidate site; weighted demands 17, 12 and 5 (34 in all).
CoverageReport workedDemandReport(int32_t coverage) {
    const TDataStore store =
        matrixStore({{0, 5, 50, 8}, {5, 0, 45, 5}, {50, 45, 0, 44}, {8, 5, 44, 0}});
    CoverageReport report = buildCoverageReport(store, 4, 3, coverage);
    countDemand(report, {17, 12, 5}, 30);
    return report;
}

}  // namespace

TEST(ReportText, DemandBesideTheNodeCounts) {
    const std::string text =
        coverageReportText(workedDemandReport(5), computedSource('E'), English);
    EXPECT_EQ(text.substr(0, text.find("Cells by equation")),
              "4 nodes: 3 demand nodes, 1 candidate site\n"
              "Matrix: Euclidean distances, computed from the node files\n"
              "Weighted demand (W=0.3 on demand set 1): 34.00\n"
              "Coverage distance: 5\n"
              "\n"
              "Off-diagonal distances (12 cells)\n"
              "  minimum 5, lower quartile 5, median 8, upper quartile 45, maximum 50\n"
              "  within the coverage: 4 cells (33.3%)\n"
              "\n"
              "Demand nodes by the number of other nodes within the coverage, with their demand\n"
              "  0 (isolated)         1            5.00\n"
              "  1                    1           17.00\n"
              "  2-4                  1           12.00\n"
              "Isolated demand nodes (1): 3\n"
              "Demand within the coverage: 29.00 of 34.00 (85.3%)\n"
              "Isolated demand: 5.00 (14.7%)\n"
              "Smallest coverage with no isolated demand node: 44\n"
              "\n");
}

TEST(ReportText, DemandInTheLocalesFormAndWithoutAShareOfNothing) {
    CoverageReport report = workedDemandReport(44);
    countDemand(report, {12345.5, 0, 0.25}, 5);
    const std::string text = coverageReportText(report, computedSource('G'), German);
    EXPECT_NE(text.find("Weighted demand (W=0,05 on demand set 1): 12.345,75\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Demand within the coverage: 12.345,75 of 12.345,75 (100,0%)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Isolated demand: 0,00 (0,0%)\n"), std::string::npos) << text;

    countDemand(report, {0, 0, 0}, 100);
    const std::string none = coverageReportText(report, computedSource('E'), English);
    EXPECT_NE(none.find("Demand within the coverage: 0.00 of 0.00\n"), std::string::npos) << none;
    EXPECT_NE(none.find("Isolated demand: 0.00\n"), std::string::npos) << none;
}

TEST(ReportJson, DemandKeysOnceCounted) {
    const std::string json = coverageReportJson(workedDemandReport(5), computedSource('E'));
    EXPECT_NE(json.find("  \"demandWeightPercent\": 30,\n"
                        "  \"demand\": 34,\n"
                        "  \"demandWithinCoverage\": 29,\n"
                        "  \"demandShareWithinCoverage\": 0.8529411764705882,\n"
                        "  \"isolatedDemand\": 5,\n"),
              std::string::npos)
        << json;
    CoverageReport none = workedDemandReport(5);
    countDemand(none, {0, 0, 0}, 100);
    EXPECT_NE(
        coverageReportJson(none, computedSource('E')).find("\"demandShareWithinCoverage\": null,"),
        std::string::npos);
    const std::string uncounted = coverageReportJson(buildCoverageReport(mixedProblems(), 4, 3, 5),
                                                     distanceFileSource('N', "d.NED"));
    EXPECT_EQ(uncounted.find("demand\""), std::string::npos) << uncounted;
    EXPECT_EQ(jsonNumber(std::numeric_limits<double>::infinity()), "null");
}

TEST(ReportSummary, ThePanelsNumbersWorkedByHand) {
    const CoverageSummary at5 =
        summarizeCoverageReport(workedDemandReport(5), computedSource('G'), German);
    EXPECT_EQ(at5.coverage, "5 miles");
    EXPECT_EQ(at5.nodes, "4: 3 demand nodes, 1 candidate site");
    EXPECT_EQ(at5.demand, "34,00 (W=0,3 on demand set 1)");
    EXPECT_EQ(at5.cellsWithinCoverage, "4 of 12 (33,3%)");
    EXPECT_EQ(at5.isolatedDemandNodes, "1, demand 5,00 (14,7%)");
    EXPECT_EQ(at5.demandWithinCoverage, "29,00 (85,3%)");
    EXPECT_EQ(at5.coverageToCoverEveryDemandNode, "44 miles");
    EXPECT_EQ(at5.equationCells, (std::array<std::string, 4>{"4", "4", "0", "8"}));
    EXPECT_EQ(at5.asymmetricPairs, "none");
    EXPECT_EQ(at5.nonZeroDiagonalCells, "none");

    const CoverageSummary problems = summarizeCoverageReport(
        buildCoverageReport(mixedProblems(), 4, 3, 5), computedSource('E'), English);
    EXPECT_EQ(problems.negativeCells, "2, at (1, 3), (3, 1)");
    EXPECT_EQ(problems.nonZeroDiagonalCells, "1, at node 4");
    EXPECT_EQ(problems.demand, "");
    const CoverageSummary single = summarizeCoverageReport(
        buildCoverageReport(matrixStore({{0}}), 1, 1, 3), computedSource('E'), English);
    EXPECT_EQ(single.cellsWithinCoverage, "0 of 0");
    EXPECT_EQ(single.coverageToCoverEveryDemandNode, "none");
}
