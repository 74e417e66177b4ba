#include "batch/BatchCommands.h"

#include <CLI/CLI.hpp>
#include <cstring>
#include <limits>
#include <memory>

#include "batch/CheckCommand.h"
#include "batch/ComputeCommand.h"
#include "batch/NetworkCommand.h"
#include "batch/NodesCommand.h"
#include "batch/OutputIsInput.h"
#include "batch/Printable.h"
#include "batch/ReportCommand.h"
#include "batch/TransformCommand.h"
#include "loading/DataLoad.h"
#include "loading/NodeFile.h"
#include "platform/RunTimeError.h"
#include "platform/VersionInfo.h"
#include "platform/Workers.h"
#include "store/DistanceFile.h"
#include "store/DistanceMetrics.h"

namespace batch {
namespace {

// No problem has more distances than this; reading stops at the line after it.
constexpr long long MaxDistanceLines = static_cast<long long>(MaxNodes) * MaxNodes;

}  // namespace

int reportFailure(Console& console, const std::string& file, long long line,
                  const std::string& message, int status) {
    console.err << "velmora-batch: " << printable(file);
    if (line > 0) {
        console.err << ':' << line;
    }
    console.err << ": " << printable(message) << '\n';
    return status;
}

int failedWrite(Console& console, const std::string& out, const MatrixWriteReport& report) {
    return reportFailure(console, out, 0, report.message + ": " + std::strerror(report.error));
}

ProblemTexts readProblemTexts(const NodeFiles& nodes, const std::string& distances) {
    const auto once = [](const std::string& path, long long lineLimit) {
        return path.empty() ? TextSource() : readTextOnce(path, lineLimit);
    };
    return {once(nodes.demand, MaxNodes), once(nodes.candidates, MaxNodes),
            once(distances, MaxDistanceLines)};
}

std::unique_ptr<TDataStore> loadProblemFiles(const ProblemTexts& texts, char metricCode,
                                             Console& console, int& status) {
    auto store = std::make_unique<TDataStore>();
    store->MetricCode = metricCode;
    if (!texts.distances.empty()) {
        const long long demandLines = preReadNodeFile(texts.demand).lineCount;
        const long long candidateLines =
            texts.candidates.empty() ? 0 : preReadNodeFile(texts.candidates).lineCount;
        const long long n = demandLines + candidateLines;
        // An empty node file, or a node beyond the table, is the load's to report: it names
        // the node file and its line.
        const bool nodesFit =
            demandLines > 0 && (texts.candidates.empty() || candidateLines > 0) && n <= MaxNodes;
        const long long found = nodesFit ? countDistanceFileLines(texts.distances) : n * n;
        if (found != n * n) {
            const std::string has = found > MaxDistanceLines
                                        ? "more than " + std::to_string(MaxDistanceLines)
                                        : std::to_string(found);
            status = reportFailure(console, texts.distances.name(), 0,
                                   std::string(IncompatibleDistancesMessage) + " (" +
                                       std::to_string(n) + " nodes need " + std::to_string(n * n) +
                                       " lines, the file has " + has + ")");
            return nullptr;
        }
    }
    const LoadOutcome outcome = loadProblem(
        *store, {texts.demand, texts.candidates, texts.distances}, console.separators.decimal);
    switch (outcome.status) {
        case LoadOutcome::Status::DistancesIncompatible:
            status = reportFailure(console, texts.distances.name(), outcome.failedLine,
                                   IncompatibleDistancesMessage);
            return nullptr;
        case LoadOutcome::Status::DistanceTooLarge:
            status = reportFailure(
                console, texts.candidates.empty() ? texts.demand.name() : texts.candidates.name(),
                0, distanceTooLargeMessage(outcome.fromNode, outcome.toNode));
            return nullptr;
        case LoadOutcome::Status::Loaded:
            break;
    }
    return store;
}

int runVerb(Console& console, const std::string& file, const std::function<int()>& verb) {
    try {
        return verb();
    } catch (const RunTimeError& error) {
        return reportFailure(console, error.file().empty() ? file : error.file(), error.line(),
                             error.message());
    } catch (const std::bad_alloc&) {
        return reportFailure(console, file, 0, "Out of memory");
    }
}

void addNodeFileOptions(CLI::App& verb, NodeFiles& nodes, const CLI::Validator& fileName) {
    verb.add_option("--demand", nodes.demand, "Demand node file")->required()->check(fileName);
    verb.add_option("--candidates", nodes.candidates, "Candidate-site file")->check(fileName);
}

CLI::Option* addMetricOption(CLI::App& verb, std::string& name, const std::string& purpose) {
    const std::vector<std::string> names = computedMetricNames();
    std::string choices;
    for (std::size_t i = 0; i < names.size(); ++i) {
        choices += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    return verb.add_option("--metric", name, purpose + choices)->check(CLI::IsMember(names));
}

void addCoverageOption(CLI::App& verb, int64_t& coverage) {
    verb.add_option("--coverage", coverage, "Coverage distance (whole number)")
        ->required()
        ->transform(wholeNumber())
        ->check(CLI::Range(int64_t{INT32_MIN}, int64_t{INT32_MAX}));
}

CLI::Validator wholeNumber() {
    return CLI::Validator(
        [](std::string& text) {
            std::string_view digits = text;
            while (!digits.empty() && digits.front() == ' ') {
                digits.remove_prefix(1);
            }
            while (!digits.empty() && digits.back() == ' ') {
                digits.remove_suffix(1);
            }
            const auto value = parseInteger(digits);
            if (!value) {
                return "'" + text + "' is not a whole number from " +
                       std::to_string(std::numeric_limits<int32_t>::min()) + " to " +
                       std::to_string(std::numeric_limits<int32_t>::max());
            }
            text = std::to_string(*value);
            return std::string();
        },
        "INTEGER");
}

char metricCodeNamed(const std::string& name) {
    const Metric* metric = metricNamed(name);
    return metric ? metric->code : Metrics.front().code;
}

namespace {

// The verbs, each declaring its options on `app`.
std::vector<std::unique_ptr<Verb>> declareVerbs(CLI::App& app, ChartRenderer* pictures) {
    // An empty name would only fail later, after files were read or created.
    const CLI::Validator fileName(
        [](std::string& name) { return name.empty() ? "a file name cannot be empty" : ""; },
        "FILE");
    std::vector<std::unique_ptr<Verb>> verbs;
    verbs.push_back(std::make_unique<ComputeVerb>(app, fileName));
    verbs.push_back(std::make_unique<CheckVerb>(app, fileName));
    verbs.push_back(std::make_unique<TransformVerb>(app, fileName));
    verbs.push_back(std::make_unique<NetworkVerb>(app, fileName));
    verbs.push_back(std::make_unique<ReportVerb>(app, fileName, pictures));
    verbs.push_back(std::make_unique<NodesVerb>(app, fileName));
    return verbs;
}

// Parses the line; the status to end with when the parse itself answers (help, version, a
// usage error).
std::optional<int> parse(CLI::App& app, int argc, char** argv, Console& console,
                         const Actions& actions) {
    try {
        app.parse(argc, argv);
        return std::nullopt;
    } catch (const CLI::CallForHelp&) {
        console.out << app.help();
    } catch (const CLI::CallForAllHelp&) {
        console.out << app.help("", CLI::AppFormatMode::All);
    } catch (const CLI::CallForVersion&) {
        const auto version = actions.version();
        if (!version) {
            return reportFailure(console, "--version", 0,
                                 "the program file carries no version record");
        }
        console.out << "velmora-batch " << *version << '\n';
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() != 0) {
            console.err << "velmora-batch: " << printable(error.what()) << '\n'
                        << "Run with --help for more information.\n";
            return BadUsage;
        }
        console.out << app.help();
    }
    return Success;
}

}  // namespace

int run(int argc, char** argv, Console& console, const Actions& actions, ChartRenderer* pictures) {
    CLI::App app{"Prepares distance matrix files for QUORVANE from node files.", "velmora-batch"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string());
    // Also after the verb: its options fall through to these.
    app.fallthrough();
    int64_t threads = 0;
    app.add_option("--threads", threads,
                   "Workers that share the computing (a whole number from 1); all cores when "
                   "not given")
        ->transform(wholeNumber())
        ->check(CLI::Range(int64_t{1}, int64_t{std::numeric_limits<int32_t>::max()}));
    const auto verbs = declareVerbs(app, pictures);
    if (const auto answered = parse(app, argc, argv, console, actions)) {
        return *answered;
    }
    for (const CLI::App* verb : app.get_subcommands()) {
        if (const auto problem = outputThatIsAnInput(*verb)) {
            console.err << "velmora-batch: " << verb->get_name() << ": " << *problem << '\n'
                        << "Run with --help for more information.\n";
            return BadUsage;
        }
    }
    setWorkerCount(static_cast<unsigned>(threads));
    for (const auto& verb : verbs) {
        if (verb->chosen()) {
            return verb->run(console, actions);
        }
    }
    return BadUsage;
}

std::optional<std::string> programVersion() {
    const auto info = readFixedFileInfo("/proc/self/exe");
    if (!info) {
        return std::nullopt;
    }
    return fileVersionText(*info);
}

int lastResort(std::ostream& err, const std::function<int()>& body) {
    try {
        return body();
    } catch (const RunTimeError& error) {
        err << "velmora-batch: " << printable(error.message()) << '\n';
    } catch (const std::exception& error) {
        err << "velmora-batch: " << printable(error.what()) << '\n';
    } catch (...) {
        err << "velmora-batch: unexpected failure\n";
    }
    return BadInput;
}

}  // namespace batch
