#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>

#include "bench/BenchProblems.h"
#include "loading/DataLoad.h"
#include "modify/MatrixTransformation.h"
#include "report/CoverageCharts.h"
#include "report/CoverageProfile.h"
#include "report/CoverageReport.h"
#include "report/NodeMapChart.h"
#include "report/ReportText.h"
#include "report/WeightedDemand.h"
#include "store/DistanceFile.h"
#include "store/DistanceMetrics.h"

namespace {

std::string scratchFile(const char* name) {
    return "/tmp/velmora-bench-" + std::to_string(getpid()) + "-" + name;
}

void computeMatrix(benchmark::State& state, char metric) {
    TDataStore store;
    placeNodes(store);
    store.MetricCode = metric;
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeDistanceMatrix(store, Nodes));
    }
}

void greatCircleMatrix(benchmark::State& state) {
    computeMatrix(state, 'G');
}
void euclideanMatrix(benchmark::State& state) {
    computeMatrix(state, 'E');
}
void manhattanMatrix(benchmark::State& state) {
    computeMatrix(state, 'M');
}

void writeDistanceFile(benchmark::State& state) {
    TDataStore store;
    loadGreatCircleMatrix(store);
    const std::string path = scratchFile("write.GRD");
    for (auto _ : state) {
        DistanceFileWriter writer(path);
        benchmark::DoNotOptimize(writer.write(store, Nodes));
    }
    std::remove(path.c_str());
}

void formatDistanceFile(benchmark::State& state) {
    TDataStore store;
    loadGreatCircleMatrix(store);
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatDistanceFile(store, Nodes));
    }
}

void readDistanceFile(benchmark::State& state) {
    TDataStore store;
    loadGreatCircleMatrix(store);
    const std::string path = scratchFile("read.GRD");
    DistanceFileWriter(path).write(store, Nodes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(readDistanceFile(store, path, Nodes));
    }
    std::remove(path.c_str());
}

void transformWholeMatrix(benchmark::State& state) {
    TDataStore original;
    loadGreatCircleMatrix(original);
    TransformSettings settings;
    settings.CoverageDistance = 3000;
    settings.equations.EquationConstant = {1, 2, 3, 4};
    settings.equations.EquationCoefficient = {1.5, 2.5, 0.5, 0.25};
    settings.equations.EquationExponent = {1.5, 0.75, 2.2, 1.3};
    TDataStore store;
    for (int i = 1; i <= Nodes; ++i) {
        store.DistanceMatrix.create(i);
    }
    store.NodeCount = Nodes;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 1; i <= Nodes; ++i) {
            store.DistanceMatrix[i] = original.DistanceMatrix[i];
        }
        state.ResumeTiming();
        MatrixTransformation transformation(settings);
        const long double maximum = transformation.MaximumNewDistance(store, Nodes);
        transformation.apply(store, Nodes, maximum);
    }
}

void loadGreatCircleProblem(benchmark::State& state) {
    std::mt19937 random(901);
    std::uniform_real_distribution<double> longitude(-180, 180);
    std::uniform_real_distribution<double> latitude(-80, 80);
    std::string text;
    char line[128];
    for (int i = 1; i <= Nodes; ++i) {
        std::snprintf(line, sizeof line, "%d %.6f %.6f 10 0 1\r\n", i, longitude(random),
                      latitude(random));
        text += line;
    }
    const std::string path = scratchFile("load.GRT");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    TDataStore store;
    store.MetricCode = 'G';
    for (auto _ : state) {
        benchmark::DoNotOptimize(loadProblem(store, {path, "", ""}, '.'));
    }
    std::remove(path.c_str());
}

void coverageReportStatistics(benchmark::State& state) {
    TDataStore store;
    loadGreatCircleMatrix(store);
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildCoverageReport(store, Nodes, 800, 300));
    }
}

void distanceHistogramBins(benchmark::State& state) {
    TDataStore store;
    loadGreatCircleMatrix(store);
    const CoverageReport report = buildCoverageReport(store, Nodes, 800, 300);
    for (auto _ : state) {
        benchmark::DoNotOptimize(binOffDiagonalDistances(store, report, 40));
    }
}

// What opening the coverage preview computes before it paints: the sorted rows.
void coverageProfileBuild(benchmark::State& state) {
    TDataStore store;
    loadDemandProblem(store);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CoverageProfile(store, Nodes, DemandNodes));
    }
}

// What the preview computes for each new coverage before it paints: the report, the
// weighted demand, the histogram's bins, both chart descriptions and the panel's numbers.
void coveragePreviewRedraw(benchmark::State& state) {
    TDataStore store;
    loadDemandProblem(store);
    const CoverageProfile profile(store, Nodes, DemandNodes);
    const std::vector<double> demand = weightedDemands(store, DemandNodes, 30);
    int32_t coverage = 0;
    for (auto _ : state) {
        coverage = (coverage + 137) % 12000;
        CoverageReport report = profile.report(coverage);
        countDemand(report, demand, 30);
        benchmark::DoNotOptimize(distanceHistogramChart(report, profile.bins(report, HistogramBins),
                                                        GreatCircle, NumberSeparators{}));
        benchmark::DoNotOptimize(nodeMapChart(store, report, GreatCircle, NumberSeparators{}));
        benchmark::DoNotOptimize(summarizeCoverageReport(report, GreatCircle, NumberSeparators{}));
    }
}

}  // namespace

BENCHMARK(greatCircleMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK(euclideanMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK(manhattanMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK(writeDistanceFile)->Unit(benchmark::kMillisecond);
BENCHMARK(formatDistanceFile)->Unit(benchmark::kMillisecond);
BENCHMARK(readDistanceFile)->Unit(benchmark::kMillisecond);
BENCHMARK(transformWholeMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK(loadGreatCircleProblem)->Unit(benchmark::kMillisecond);
BENCHMARK(coverageReportStatistics)->Unit(benchmark::kMillisecond);
BENCHMARK(distanceHistogramBins)->Unit(benchmark::kMillisecond);
BENCHMARK(coverageProfileBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(coveragePreviewRedraw)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
