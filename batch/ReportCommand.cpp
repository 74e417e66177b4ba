#include "batch/ReportCommand.h"

#include <memory>

#include "batch/Printable.h"
#include "gis/CoverageExport.h"
#include "gis/GisModule.h"
#include "platform/AtomicFile.h"
#include "platform/RunTimeError.h"
#include "report/CoverageCharts.h"
#include "report/CoverageReport.h"
#include "report/NodeMapChart.h"
#include "report/ReportJson.h"
#include "report/ReportText.h"
#include "report/WeightedDemand.h"

namespace batch {
namespace {

int usage(Console& console, const std::string& problem) {
    console.err << "velmora-batch: report: " << problem << '\n'
                << "Run with --help for more information.\n";
    return BadUsage;
}

// Every output file is claimed before anything is painted or made, so a bad path fails at once.
std::unique_ptr<AtomicFileWriter> claim(const std::string& path) {
    if (path.empty()) {
        return nullptr;
    }
    try {
        return std::make_unique<AtomicFileWriter>(path);
    } catch (RunTimeError& error) {
        error.setLocation(path, 0);
        throw;
    }
}

// What `make` returns; a run-time error it throws without a place is located at `path`.
template <typename Make>
std::string locatedAt(const std::string& path, Make make) {
    try {
        return make();
    } catch (RunTimeError& error) {
        if (error.file().empty()) {
            error.setLocation(path, 0);
        }
        throw;
    }
}

void finish(AtomicFileWriter& file, const std::string& path, const std::string& bytes) {
    if (!file.write(bytes) || !file.commit()) {
        InOutError error = inOutErrorFor("Cannot write file", path, file.error());
        error.setLocation(path, 0);
        throw error;
    }
}

}  // namespace

int reportCommand(const ReportRequest& request, Console& console, ChartRenderer* pictures) {
    if (!pictures && !(request.plot.empty() && request.map.empty())) {
        return usage(console, "--plot and --map need the picture module, which this build lacks");
    }
    return runVerb(console, request.nodes.demand, [&] {
        // Distances read from a file or the roads count as the network metric's, as in the
        // program.
        const bool network = !request.in.empty() || !request.roads.empty();
        const char metric = network ? 'N' : request.metricCode;
        int status = Success;
        const ProblemTexts texts = readProblemTexts(request.nodes, request.in);
        const RoadLinesWanted lines =
            request.map.empty() ? RoadLinesWanted::No : RoadLinesWanted::Yes;
        const auto store = request.roads.empty()
                               ? loadProblemFiles(texts, metric, console, status)
                               : loadRoadProblem(texts, request.roads, request.roadSpeeds,
                                                 request.roadSettings, console, nullptr, lines);
        if (!store) {
            return status;
        }
        const int n = store->NodeCount;
        const int demandNodes = store->DemandNodeCount;
        if (const auto negative = firstNegativeDemand(*store, demandNodes)) {
            RunTimeError error(negativeDemandText(*negative, console.separators.decimal));
            error.setLocation(request.nodes.demand, negative->node);
            throw error;
        }
        CoverageReport report = buildCoverageReport(*store, n, demandNodes, request.coverage);
        countDemand(report, weightedDemands(*store, demandNodes, request.weightPercent),
                    request.weightPercent);
        const auto plot = claim(request.plot);
        const auto map = claim(request.map);
        const auto gpkg = claim(request.gpkg);
        const MatrixSource& source = store->Source;
        if (plot) {
            const DistanceBins bins = binOffDiagonalDistances(*store, report, HistogramBins);
            finish(*plot, request.plot,
                   pictures->png(distanceHistogramChart(report, bins, source, console.separators)));
        }
        if (map) {
            finish(*map, request.map,
                   pictures->png(nodeMapChart(*store, report, source, console.separators)));
        }
        if (gpkg) {
            const bool onTheGlobe = metric == 'G' || !request.roads.empty();
            finish(*gpkg, request.gpkg, locatedAt(request.gpkg, [&] {
                return coverageGeoPackage(
                    gisLayers(), coverageLayers(*store, report, metric, onTheGlobe, std::nullopt));
            }));
        }
        if (request.json) {
            console.out << coverageReportJson(report, source);
        } else {
            MatrixSource shown = source;
            shown.file = printable(shown.file);
            console.out << coverageReportText(report, shown, console.separators);
        }
        return static_cast<int>(Success);
    });
}

ReportVerb::ReportVerb(CLI::App& app, const CLI::Validator& fileName, ChartRenderer* pictures)
    : Verb(app, "report",
           "Report on a problem before the model runs: how the distances spread, how much lies "
           "within the coverage distance, which demand nodes nothing covers, and problems of "
           "the matrix (asymmetry, negatives, duplicate locations)"),
      m_pictures(pictures) {
    addNodeFileOptions(command(), m_request.nodes, fileName);
    auto* metric = addMetricOption(command(), m_metric, "Compute the distances: ");
    auto* in = command()
                   .add_option("--in", m_request.in, "Read the distances from this distance file")
                   ->check(fileName);
    m_roads = std::make_unique<RoadOptions>(command(), fileName);
    metric->excludes(in);
    m_roads->roadsOption()->excludes(metric)->excludes(in);
    addCoverageOption(command(), m_coverage);
    command()
        .add_option("--weight", m_request.weightPercent,
                    "Weight on demand set 1 in percent, as the load dialog's scroll bar sets it: "
                    "the report counts PERCENT/100 of demand set 1 and the rest of demand set 2 "
                    "(default 100)")
        ->transform(wholeNumber())
        ->check(CLI::Range(0, 100))
        ->option_text("PERCENT");
    command().add_flag("--json", m_request.json,
                       "Print one JSON object instead of the text report");
    command()
        .add_option("--plot", m_request.plot,
                    "Write a PNG histogram of the off-diagonal distances, the coverage distance "
                    "marked")
        ->check(fileName);
    command()
        .add_option("--map", m_request.map,
                    "Write a PNG map of the nodes, isolated demand nodes marked; its axes are "
                    "longitude and latitude in degrees for great-circle, otherwise the node "
                    "files' X and Y coordinates (also with --in)")
        ->check(fileName);
    command()
        .add_option("--gpkg", m_request.gpkg,
                    "Write a GeoPackage of the nodes for a GIS: the layer nodes (number, kind, "
                    "demand, covered, the nearest node that covers it and its distance, "
                    "isolated), in longitude and latitude on WGS 84 for great-circle and road "
                    "distances")
        ->check(fileName);
}

int ReportVerb::run(Console& console, const Actions& actions) {
    m_request.roads = m_roads->roads();
    if (m_metric.empty() && m_request.in.empty() && m_request.roads.empty()) {
        return usage(console,
                     "give --metric to compute the distances, --in to read them or --roads to "
                     "compute road distances");
    }
    m_request.roadSpeeds = m_roads->speeds();
    m_request.roadSettings = m_roads->settings(console);
    m_request.metricCode = metricCodeNamed(m_metric);
    m_request.coverage = static_cast<int32_t>(m_coverage);
    return actions.report(m_request, console, m_pictures);
}

}  // namespace batch
