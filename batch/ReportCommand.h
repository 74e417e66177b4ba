#pragma once

// velmora-batch report: the coverage pre-flight report of a problem, as text or JSON, and
// its two pictures.

#include <CLI/CLI.hpp>
#include <cstdint>
#include <memory>
#include <string>

#include "batch/NetworkCommand.h"
#include "report/ChartRenderer.h"
#include "roads/RoadSettings.h"

namespace batch {

struct ReportRequest {
    NodeFiles nodes;
    char metricCode = 'E';   // for computed distances
    std::string in;          // the distance file; empty: compute the distances
    std::string roads;       // the road map to compute road distances from; empty: none
    std::string roadSpeeds;  // the speeds file for travel time; empty: the default speeds
    RoadSettings roadSettings;
    int32_t coverage = 0;
    int weightPercent = 100;  // on demand set 1
    bool json = false;
    std::string plot;  // PNG files to write; empty: none
    std::string map;
    std::string gpkg;  // the GeoPackage of the nodes to write; empty: none
};

// The verb's options on the command line; run it once they are parsed.
class ReportVerb : public Verb {
public:
    // Every file option is checked by `fileName`, as the other verbs' are; without `pictures`
    // the pictures cannot be asked for.
    ReportVerb(CLI::App& app, const CLI::Validator& fileName, ChartRenderer* pictures);
    int run(Console& console, const Actions& actions) override;

private:
    ChartRenderer* m_pictures;
    ReportRequest m_request;
    std::unique_ptr<RoadOptions> m_roads;
    std::string m_metric;
    int64_t m_coverage = 0;
};

}  // namespace batch
