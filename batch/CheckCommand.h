#pragma once

// velmora-batch check: whether a distance file fits the node files and reads.

#include <string>

#include "batch/Verb.h"

namespace batch {

struct CheckRequest {
    NodeFiles nodes;
    std::string in;
};

int checkCommand(const CheckRequest& request, Console& console);

class CheckVerb : public Verb {
public:
    CheckVerb(CLI::App& app, const CLI::Validator& fileName);
    int run(Console& console, const Actions& actions) override;

private:
    CheckRequest m_request;
};

}  // namespace batch
