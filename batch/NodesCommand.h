#pragma once

// velmora-batch nodes: a node file from one layer of a GIS file (GeoPackage, Shapefile,
// GeoJSON, FlatGeobuf, KML, CSV and whatever else GDAL reads as vectors).

#include <string>

#include "batch/Verb.h"
#include "gis/NodeImport.h"

namespace batch {

struct NodesRequest {
    NodeImport import;
    std::string out;
};

int nodesCommand(const NodesRequest& request, Console& console);

class NodesVerb : public Verb {
public:
    NodesVerb(CLI::App& app, const CLI::Validator& fileName);
    int run(Console& console, const Actions& actions) override;

private:
    NodesRequest m_request;
    CLI::Option* m_sourceCrs;
    std::string m_sourceCrsText;
};

}  // namespace batch
