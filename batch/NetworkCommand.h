#pragma once

// velmora-batch network: the Network distance file computed from an OpenStreetMap extract,
// and the road options that `report` shares.

#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "batch/BatchCommands.h"
#include "roads/RoadMatrix.h"
#include "roads/RoadSettings.h"

namespace batch {

struct NetworkRequest {
    NodeFiles nodes;
    std::string roads;
    std::string out;
    RoadSettings settings;
};

int networkCommand(const NetworkRequest& request, Console& console);

// --roads, --mode, --unit, --unreachable and --max-snap on a verb.
class RoadOptions {
public:
    RoadOptions(CLI::App& verb, const CLI::Validator& fileName);
    RoadOptions(const RoadOptions&) = delete;
    RoadOptions& operator=(const RoadOptions&) = delete;

    CLI::Option* roadsOption() const { return m_roadsOption; }
    const std::string& roads() const { return m_roads; }
    // The settings given, numbers in messages written with the console's separators.
    RoadSettings settings(const Console& console) const;

private:
    CLI::Option* m_roadsOption;
    std::string m_roads;
    std::string m_mode = "drive";
    std::string m_unit = "metres";
    std::optional<int64_t> m_unreachable;
    std::string m_maxSnap;
};

class NetworkVerb {
public:
    NetworkVerb(CLI::App& app, const CLI::Validator& fileName);
    NetworkVerb(const NetworkVerb&) = delete;
    NetworkVerb& operator=(const NetworkVerb&) = delete;

    bool chosen() const { return m_verb->parsed(); }
    int run(Console& console, decltype(Actions::network) network);

private:
    CLI::App* m_verb;
    NetworkRequest m_request;
    std::unique_ptr<RoadOptions> m_roads;
};

// The node files loaded from their texts and the road matrix computed into a new store.
// Failures are thrown as run-time errors located at the file and line to name (runVerb
// reports them).
std::unique_ptr<TDataStore> loadRoadProblem(const ProblemTexts& nodes, const std::string& roads,
                                            const RoadSettings& settings, const Console& console,
                                            RoadSummary* summary = nullptr);

}  // namespace batch
