#pragma once

// velmora-batch nodes: a node file from one layer of a GIS file (GeoPackage, Shapefile,
// GeoJSON, FlatGeobuf, KML, CSV and whatever else GDAL reads as vectors).

#include <CLI/CLI.hpp>
#include <string>

#include "batch/BatchCommands.h"
#include "gis/NodeImport.h"

namespace batch {

struct NodesRequest {
    NodeImport import;
    std::string out;
};

int nodesCommand(const NodesRequest& request, Console& console);

class NodesVerb {
public:
    NodesVerb(CLI::App& app, const CLI::Validator& fileName);
    NodesVerb(const NodesVerb&) = delete;
    NodesVerb& operator=(const NodesVerb&) = delete;

    bool chosen() const { return m_verb->parsed(); }
    int run(Console& console, decltype(Actions::nodes) nodes);

private:
    CLI::App* m_verb;
    NodesRequest m_request;
    CLI::Option* m_sourceCrs;
    std::string m_sourceCrsText;
};

}  // namespace batch
