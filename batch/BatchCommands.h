#pragma once

// velmora-batch: the program's core driven from the command line, for scripts that prepare
// many matrices. Each verb writes exactly the bytes the program would.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "platform/NumberText.h"
#include "platform/TextFile.h"
#include "report/ChartRenderer.h"
#include "store/DataStore.h"

namespace CLI {
class App;
class Option;
class Validator;
}  // namespace CLI
struct MatrixWriteReport;

namespace batch {

enum ExitStatus { Success = 0, BadInput = 1, BadUsage = 2 };

struct NodeFiles {
    std::string demand;
    std::string candidates;
};

// Where output goes and how numbers read and print.
struct Console {
    std::ostream& out;
    std::ostream& err;
    NumberSeparators separators;
};

// The version of the running program, "1.0.6.1", from the record its file carries.
std::optional<std::string> programVersion();

// Each verb lives in a file of its own (ComputeCommand, CheckCommand, TransformCommand,
// NetworkCommand, ReportCommand): its request, the command that runs it, and the verb that
// declares its options and fills the request.
struct ComputeRequest;
int computeCommand(const ComputeRequest& request, Console& console);
struct CheckRequest;
int checkCommand(const CheckRequest& request, Console& console);
struct TransformRequest;
int transformCommand(const TransformRequest& request, Console& console);
struct NetworkRequest;
int networkCommand(const NetworkRequest& request, Console& console);

struct NodesRequest;
int nodesCommand(const NodesRequest& request, Console& console);

struct ReportRequest;
// Without a renderer the pictures of `report` cannot be asked for (a usage error).
int reportCommand(const ReportRequest& request, Console& console, ChartRenderer* pictures);

// What the command line runs once parsed; a test of the parser alone puts its own in place.
struct Actions {
    int (*compute)(const ComputeRequest&, Console&) = computeCommand;
    int (*check)(const CheckRequest&, Console&) = checkCommand;
    int (*transform)(const TransformRequest&, Console&) = transformCommand;
    std::optional<std::string> (*version)() = programVersion;
    int (*report)(const ReportRequest&, Console&, ChartRenderer*) = reportCommand;
    int (*network)(const NetworkRequest&, Console&) = networkCommand;
    int (*nodes)(const NodesRequest&, Console&) = nodesCommand;
};

// The command line itself: parses the verb and its options and runs it. Without a renderer
// the pictures of `report` cannot be asked for.
int run(int argc, char** argv, Console& console, const Actions& actions = {},
        ChartRenderer* pictures = nullptr);

// Runs `body`; anything it throws becomes one line on `err` and the bad-input status, so no
// exception ends the program unreported.
int lastResort(std::ostream& err, const std::function<int()>& body);

// A verb's input files, each read once, whole, so that a pipe gives the answers a file gives;
// reading stops at the first line past what a problem can hold.
struct ProblemTexts {
    TextSource demand;
    TextSource candidates;
    TextSource distances;
};
ProblemTexts readProblemTexts(const NodeFiles& nodes, const std::string& distances);

// Shared by the verbs. The load as compute (no distance file) or check does it; on failure
// the one-line report is written, `status` set and nothing returned.
std::unique_ptr<TDataStore> loadProblemFiles(const ProblemTexts& texts, char metricCode,
                                             Console& console, int& status);
// The one line that reports a failure, naming the file (and its line when above 0); returns
// `status`.
int reportFailure(Console& console, const std::string& file, long long line,
                  const std::string& message, int status = BadInput);
// The failure of writing `out`, with the system's reason.
int failedWrite(Console& console, const std::string& out, const MatrixWriteReport& report);
// Runs a verb, turning the run-time errors that stop it into one line naming their file
// (`file` when they name none).
int runVerb(Console& console, const std::string& file, const std::function<int()>& verb);
// The --demand (required) and --candidates options every verb that loads a problem takes.
void addNodeFileOptions(CLI::App& verb, NodeFiles& nodes, const CLI::Validator& fileName);
// The --metric option of the verbs that compute distances, taking the names of the metrics
// computed from coordinates; `purpose` leads its help.
CLI::Option* addMetricOption(CLI::App& verb, std::string& name, const std::string& purpose);
// The required --coverage option: a whole number in the 32-bit range.
void addCoverageOption(CLI::App& verb, int64_t& coverage);
// Reads an option's whole number as the program reads numbers: decimal digits with an
// optional sign, spaces around allowed (the parser alone would take 010 as octal).
CLI::Validator wholeNumber();
// The code of a name the option took; Euclidean when none was given.
char metricCodeNamed(const std::string& name);

}  // namespace batch
