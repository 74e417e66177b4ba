#include "batch/ComputeCommand.h"

#include "store/DistanceFile.h"

namespace batch {

int computeCommand(const ComputeRequest& request, Console& console) {
    return runVerb(console, request.nodes.demand, [&] {
        int status = Success;
        const auto store = loadProblemFiles(readProblemTexts(request.nodes, ""), request.metricCode,
                                            console, status);
        if (!store) {
            return status;
        }
        DistanceFileWriter writer(request.out);
        const MatrixWriteReport outcome = writeWholeMatrix(writer, *store, request.out);
        return outcome.written ? static_cast<int>(Success)
                               : failedWrite(console, request.out, outcome);
    });
}

ComputeVerb::ComputeVerb(CLI::App& app, const CLI::Validator& fileName)
    : Verb(app, "compute", "Compute the distances between the nodes and write the distance file") {
    addMetricOption(command(), m_metric, "")->required();
    addNodeFileOptions(command(), m_request.nodes, fileName);
    command()
        .add_option("--out", m_request.out, "Distance file to write")
        ->required()
        ->check(fileName);
}

int ComputeVerb::run(Console& console, const Actions& actions) {
    m_request.metricCode = metricCodeNamed(m_metric);
    return actions.compute(m_request, console);
}

}  // namespace batch
