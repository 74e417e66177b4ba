#pragma once

// velmora-batch compute: the distance file the program writes after Compute Distances.

#include <string>

#include "batch/Verb.h"

namespace batch {

struct ComputeRequest {
    char metricCode = 'E';
    NodeFiles nodes;
    std::string out;
};

int computeCommand(const ComputeRequest& request, Console& console);

class ComputeVerb : public Verb {
public:
    ComputeVerb(CLI::App& app, const CLI::Validator& fileName);
    int run(Console& console, const Actions& actions) override;

private:
    ComputeRequest m_request;
    std::string m_metric;
};

}  // namespace batch
