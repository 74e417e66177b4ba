#pragma once

// velmora-batch transform: the four equations applied to a distance matrix, the scaling
// reports, and the file the equation dialog writes.

#include <optional>
#include <string>
#include <vector>

#include "batch/Verb.h"
#include "modify/MatrixTransformation.h"

namespace batch {

struct TransformRequest {
    NodeFiles nodes;
    std::string in;
    std::string out;
    TransformSettings settings;
};

int transformCommand(const TransformRequest& request, Console& console);

// "K=CONSTANT,COEFFICIENT,EXPONENT" into the settings, within the dialog's ranges; the
// reason when it does not parse or fits no range.
std::optional<std::string> applyEquation(const std::string& text, DistanceEquations& equations);

class TransformVerb : public Verb {
public:
    TransformVerb(CLI::App& app, const CLI::Validator& fileName);
    int run(Console& console, const Actions& actions) override;

private:
    TransformRequest m_request;
    std::vector<std::string> m_equations;
    int64_t m_coverage = 0;
    int64_t m_scale = 10000;
    bool m_noScale = false;
};

}  // namespace batch
