#include "batch/NetworkCommand.h"

#include <cmath>
#include <limits>

#include "batch/Printable.h"
#include "loading/DataLoad.h"
#include "roads/RoadError.h"
#include "roads/RoadSpeeds.h"
#include "store/DistanceFile.h"

namespace batch {

std::unique_ptr<TDataStore> loadRoadProblem(const ProblemTexts& nodes, const std::string& roads,
                                            const std::string& speeds, RoadSettings settings,
                                            const Console& console, RoadSummary* summary,
                                            RoadLinesWanted lines) {
    if (!speeds.empty()) {
        // Read once, as every input is; only the 256 MiB limit ends it.
        settings.speeds =
            readRoadSpeeds(readTextOnce(speeds, std::numeric_limits<long long>::max() / 2));
    }
    auto store = std::make_unique<TDataStore>();
    store->MetricCode = 'N';
    loadNodes(*store, {nodes.demand, nodes.candidates, {}}, console.separators.decimal);
    SilentProgress progress;
    locatingRoadErrors(
        {nodes.demand.name(), nodes.candidates.name(), store->DemandNodeCount, roads}, [&] {
            const RoadMatrix matrix = computeRoadMatrix(roads, nodePlaces(*store, store->NodeCount),
                                                        settings, progress, lines);
            storeRoadMatrix(*store, matrix, roads, settings);
            if (summary) {
                *summary = matrix.summary;
            }
        });
    return store;
}

int networkCommand(const NetworkRequest& request, Console& console) {
    return runVerb(console, request.nodes.demand, [&] {
        RoadSummary summary;
        const auto store = loadRoadProblem(readProblemTexts(request.nodes, ""), request.roads,
                                           request.speeds, request.settings, console, &summary);
        DistanceFileWriter writer(request.out);
        const MatrixWriteReport outcome = writeWholeMatrix(writer, *store, request.out);
        if (!outcome.written) {
            return failedWrite(console, request.out, outcome);
        }
        console.out << roadSummaryText(summary, request.settings) << '\n';
        return static_cast<int>(Success);
    });
}

RoadOptions::RoadOptions(CLI::App& verb, const CLI::Validator& fileName) {
    m_roadsOption =
        verb.add_option("--roads", m_roads,
                        "OpenStreetMap extract to compute road distances from (.osm.pbf, .osm, "
                        ".osm.bz2 or .osm.gz)")
            ->check(fileName);
    auto* mode =
        verb.add_option("--mode", m_mode,
                        "Roads to travel: " + listedNames(modeNames()) + " (default drive)")
            ->check(CLI::IsMember(modeNames()));
    auto* cost = verb.add_option("--cost", m_cost,
                                 "What the cells measure: the shortest road's length (distance, "
                                 "the default) or the quickest road's travel time (time)")
                     ->check(CLI::IsMember(costNames()));
    auto* unit =
        verb.add_option("--unit", m_unit,
                        "Unit of the cells: " + listedNames(unitNames(RoadCost::Distance)) +
                            " for distance (default metres); " +
                            listedNames(unitNames(RoadCost::Time)) + " for time (default minutes)")
            ->check(CLI::IsMember(unitNames()));
    auto* speeds = verb.add_option("--speeds", m_speeds,
                                   "File of speeds in km/h replacing the defaults, one \"KEY "
                                   "KMH\" a line: KEY a highway value of the drive mode or walk")
                       ->check(fileName);
    auto* unreachable =
        verb.add_option("--unreachable", m_unreachable,
                        "Value of the cells of pairs no road joins (whole number); without it "
                        "such pairs are an error")
            ->transform(wholeNumber())
            ->check(CLI::Range(int64_t{INT32_MIN}, int64_t{INT32_MAX}));
    // Read as --equation's numbers are; a limit is a finite distance, so "nan" and "inf" are
    // refused: no limit is the option left out.
    const CLI::Validator metres(
        [](std::string& text) {
            const auto value = parseFloat(text, '.');
            return value && std::isfinite(*value) && *value >= 0
                       ? ""
                       : "a distance in metres, a number from 0, is needed";
        },
        "METRES");
    auto* maxSnap =
        verb.add_option("--max-snap", m_maxSnap,
                        "Refuse a node farther than this many metres from a road (a number from "
                        "0; without it, no limit)")
            ->check(metres);
    for (CLI::Option* option : {mode, cost, unit, speeds, unreachable, maxSnap}) {
        option->needs(m_roadsOption);
    }
    verb.parse_complete_callback([this] {
        if (const auto problem = usageProblem()) {
            throw CLI::ValidationError(problem->first, problem->second);
        }
    });
}

std::optional<std::pair<std::string, std::string>> RoadOptions::usageProblem() const {
    const RoadCost cost = costNamed(m_cost).value_or(RoadCost::Distance);
    const std::optional<RoadUnit> unit = unitNamed(m_unit);
    if (unit && unitRow(*unit).cost != cost) {
        return std::pair{"--unit", m_unit + " is a unit of " + costName(unitRow(*unit).cost) +
                                       ": with --cost " + m_cost + " give " +
                                       listedNames(unitNames(cost))};
    }
    if (!m_speeds.empty() && cost != RoadCost::Time) {
        return std::pair{"--speeds", "speeds count only for travel time: give --cost time too"};
    }
    return std::nullopt;
}

RoadSettings RoadOptions::settings(const Console& console) const {
    RoadSettings settings;
    settings.mode = modeNamed(m_mode).value_or(TravelMode::Drive);
    settings.cost = costNamed(m_cost).value_or(RoadCost::Distance);
    settings.unit = unitNamed(m_unit).value_or(costRow(settings.cost).defaultUnit);
    if (m_unreachable) {
        settings.unreachableValue = static_cast<int32_t>(*m_unreachable);
    }
    if (!m_maxSnap.empty()) {
        settings.maxSnapMetres = parseFloat(m_maxSnap, '.');
    }
    settings.separators = console.separators;
    settings.roadMapInput = InputKind::AnyFile;
    return settings;
}

NetworkVerb::NetworkVerb(CLI::App& app, const CLI::Validator& fileName)
    : Verb(app, "network",
           "Compute road distances between the nodes from an OpenStreetMap extract and write the "
           "Network distance file") {
    m_roads = std::make_unique<RoadOptions>(command(), fileName);
    m_roads->roadsOption()->required();
    addNodeFileOptions(command(), m_request.nodes, fileName);
    command()
        .add_option("--out", m_request.out, "Distance file to write")
        ->required()
        ->check(fileName);
}

int NetworkVerb::run(Console& console, const Actions& actions) {
    m_request.roads = m_roads->roads();
    m_request.speeds = m_roads->speeds();
    m_request.settings = m_roads->settings(console);
    return actions.network(m_request, console);
}

}  // namespace batch
