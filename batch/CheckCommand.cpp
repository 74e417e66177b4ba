#include "batch/CheckCommand.h"

namespace batch {

int checkCommand(const CheckRequest& request, Console& console) {
    return runVerb(console, request.nodes.demand, [&] {
        int status = Success;
        loadProblemFiles(readProblemTexts(request.nodes, request.in), 'N', console, status);
        return status;
    });
}

CheckVerb::CheckVerb(CLI::App& app, const CLI::Validator& fileName)
    : Verb(app, "check", "Check that a distance file fits the node files and reads") {
    addNodeFileOptions(command(), m_request.nodes, fileName);
    command()
        .add_option("--in", m_request.in, "Distance file to check")
        ->required()
        ->check(fileName);
}

int CheckVerb::run(Console& console, const Actions& actions) {
    return actions.check(m_request, console);
}

}  // namespace batch
