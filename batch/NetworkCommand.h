#pragma once

// velmora-batch network: the Network distance file computed from an OpenStreetMap extract,
// and the road options that `report` shares.

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "batch/Verb.h"
#include "roads/RoadMatrix.h"
#include "roads/RoadSettings.h"

namespace batch {

struct NetworkRequest {
    NodeFiles nodes;
    std::string roads;
    std::string speeds;  // the speeds file; empty: the default speeds
    std::string out;
    RoadSettings settings;
};

int networkCommand(const NetworkRequest& request, Console& console);

// --roads, --mode, --cost, --unit, --speeds, --unreachable and --max-snap on a verb. A unit
// of the other cost's kind, or speeds for distances, is a usage error.
class RoadOptions {
public:
    RoadOptions(CLI::App& verb, const CLI::Validator& fileName);
    RoadOptions(const RoadOptions&) = delete;
    RoadOptions& operator=(const RoadOptions&) = delete;

    CLI::Option* roadsOption() const { return m_roadsOption; }
    const std::string& roads() const { return m_roads; }
    const std::string& speeds() const { return m_speeds; }
    // The settings given, numbers in messages written with the console's separators; the
    // speeds are read with the problem.
    RoadSettings settings(const Console& console) const;

private:
    std::optional<std::pair<std::string, std::string>> usageProblem() const;

    CLI::Option* m_roadsOption;
    std::string m_roads;
    std::string m_mode = "drive";
    std::string m_cost = "distance";
    std::string m_unit;  // empty: the cost's default
    std::string m_speeds;
    std::optional<int64_t> m_unreachable;
    std::string m_maxSnap;
};

class NetworkVerb : public Verb {
public:
    NetworkVerb(CLI::App& app, const CLI::Validator& fileName);
    int run(Console& console, const Actions& actions) override;

private:
    NetworkRequest m_request;
    std::unique_ptr<RoadOptions> m_roads;
};

// The node files loaded from their texts and the road matrix computed into a new store, at
// the speeds of the speeds file when one is named. Failures are thrown as run-time errors
// located at the file and line to name (runVerb reports them).
std::unique_ptr<TDataStore> loadRoadProblem(const ProblemTexts& nodes, const std::string& roads,
                                            const std::string& speeds, RoadSettings settings,
                                            const Console& console, RoadSummary* summary = nullptr,
                                            RoadLinesWanted lines = RoadLinesWanted::No);

}  // namespace batch
