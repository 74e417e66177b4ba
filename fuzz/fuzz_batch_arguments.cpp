#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "batch/CheckCommand.h"
#include "batch/ComputeCommand.h"
#include "batch/ReportCommand.h"
#include "batch/TransformCommand.h"
#include "fuzz/FuzzSupport.h"

namespace {

constexpr std::size_t MostArguments = 64;

bool within(double value, const EntryRange& range) {
    return value >= range.min && value <= range.max;
}

// What the parser promises each verb; the verbs themselves never run, so no file is read
// or written whatever the arguments name.
void checkEquations(const DistanceEquations& equations) {
    for (int k = 0; k < 4; ++k) {
        require(within(equations.EquationConstant[k], EquationFactorRange));
        require(within(equations.EquationCoefficient[k], EquationFactorRange));
        require(within(equations.EquationExponent[k], EquationExponentRange));
    }
}

int ran = 0;

const batch::Actions Checks{
    [](const batch::ComputeRequest& request, batch::Console&) {
        require(!request.nodes.demand.empty() && !request.out.empty());
        require(request.metricCode == 'E' || request.metricCode == 'G' ||
                request.metricCode == 'M');
        return ++ran, 0;
    },
    [](const batch::CheckRequest& request, batch::Console&) {
        require(!request.nodes.demand.empty() && !request.in.empty());
        return ++ran, 0;
    },
    [](const batch::TransformRequest& request, batch::Console&) {
        require(!request.nodes.demand.empty() && !request.in.empty() && !request.out.empty());
        require(within(request.settings.ScaleDistance, ScaleDistanceRange));
        checkEquations(request.settings.equations);
        return ++ran, 0;
    },
    []() -> std::optional<std::string> { return "0.0.0.0"; },
    [](const batch::ReportRequest& request, batch::Console&, ChartRenderer*) {
        require(!request.nodes.demand.empty());
        require(request.metricCode == 'E' || request.metricCode == 'G' ||
                request.metricCode == 'M');
        return ++ran, 0;
    },
};

// Reports stay lines of visible text whatever the arguments hold.
bool printableLines(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 32 && c != '\n') || byte == 127) {
            return false;
        }
    }
    return text.empty() || text.back() == '\n';
}

}  // namespace

// The velmora-batch command line: the input's NUL bytes separate the arguments.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> arguments{"velmora-batch"};
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty() && arguments.size() <= MostArguments) {
        const std::size_t end = rest.find('\0');
        arguments.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    std::ostringstream out;
    std::ostringstream err;
    batch::Console console{out, err, {}};
    ran = 0;
    const int status = batch::run(static_cast<int>(arguments.size()), argv.data(), console, Checks);
    require(status == batch::Success || status == batch::BadUsage);
    require(status == batch::Success ? err.str().empty() : ran == 0);
    require(status == batch::Success ? ran == 1 || !out.str().empty()
                                     : err.str().rfind("velmora-batch: ", 0) == 0);
    require(printableLines(err.str()));
    return 0;
}
