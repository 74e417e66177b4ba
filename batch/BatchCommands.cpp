#include "batch/BatchCommands.h"

#include <CLI/CLI.hpp>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>

#include "batch/NetworkCommand.h"
#include "batch/NodesCommand.h"
#include "batch/Printable.h"
#include "batch/ReportCommand.h"
#include "loading/DataLoad.h"
#include "loading/NodeFile.h"
#include "platform/RunTimeError.h"
#include "platform/VersionInfo.h"
#include "platform/Workers.h"
#include "store/DistanceFile.h"
#include "store/DistanceMetrics.h"

namespace batch {
namespace {

int fail(Console& console, const std::string& file, long long line, const std::string& message,
         int status = BadInput) {
    console.err << "velmora-batch: " << printable(file);
    if (line > 0) {
        console.err << ':' << line;
    }
    console.err << ": " << printable(message) << '\n';
    return status;
}

std::string lines(std::string text) {
    for (char& c : text) {
        if (c == '\r') {
            c = '\n';
        }
    }
    return text;
}

// No problem has more distances than this; reading stops at the line after it.
constexpr long long MaxDistanceLines = static_cast<long long>(MaxNodes) * MaxNodes;

// Loads the problem as the program's load would; reports and returns nothing on failure.
std::unique_ptr<TDataStore> load(const ProblemTexts& texts, char metricCode, Console& console,
                                 int& status) {
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
            status = fail(console, texts.distances.name(), 0,
                          std::string(IncompatibleDistancesMessage) + " (" + std::to_string(n) +
                              " nodes need " + std::to_string(n * n) + " lines, the file has " +
                              has + ")");
            return nullptr;
        }
    }
    const LoadOutcome outcome = loadProblem(
        *store, {texts.demand, texts.candidates, texts.distances}, console.separators.decimal);
    switch (outcome.status) {
        case LoadOutcome::Status::DistancesIncompatible:
            status = fail(console, texts.distances.name(), outcome.failedLine,
                          IncompatibleDistancesMessage);
            return nullptr;
        case LoadOutcome::Status::DistanceTooLarge:
            status = fail(console,
                          texts.candidates.empty() ? texts.demand.name() : texts.candidates.name(),
                          0, distanceTooLargeMessage(outcome.fromNode, outcome.toNode));
            return nullptr;
        case LoadOutcome::Status::Loaded:
            break;
    }
    return store;
}

// Runs a verb, turning the run-time errors that stop the program's handlers into one line.
template <typename Verb>
int guarded(Console& console, const std::string& file, Verb verb) {
    try {
        return verb();
    } catch (const RunTimeError& error) {
        return fail(console, error.file().empty() ? file : error.file(), error.line(),
                    error.message());
    } catch (const std::bad_alloc&) {
        return fail(console, file, 0, "Out of memory");
    }
}

// The full path the program's save dialog would report; the name as given when the current
// folder is gone.
std::string absolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

int failedWrite(Console& console, const std::string& out, const MatrixWriteReport& report) {
    return fail(console, out, 0, report.message + ": " + std::strerror(report.error));
}

}  // namespace

ProblemTexts readProblemTexts(const NodeFiles& nodes, const std::string& distances) {
    const auto once = [](const std::string& path, long long lineLimit) {
        return path.empty() ? TextSource() : readTextOnce(path, lineLimit);
    };
    return {once(nodes.demand, MaxNodes), once(nodes.candidates, MaxNodes),
            once(distances, MaxDistanceLines)};
}

std::unique_ptr<TDataStore> loadProblemFiles(const ProblemTexts& texts, char metricCode,
                                             Console& console, int& status) {
    return load(texts, metricCode, console, status);
}

int runVerb(Console& console, const std::string& file, const std::function<int()>& verb) {
    return guarded(console, file, verb);
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

int computeCommand(const ComputeRequest& request, Console& console) {
    return guarded(console, request.nodes.demand, [&] {
        int status = Success;
        const auto store =
            load(readProblemTexts(request.nodes, ""), request.metricCode, console, status);
        if (!store) {
            return status;
        }
        DistanceFileWriter writer(request.out);
        const MatrixWriteReport outcome = writeWholeMatrix(writer, *store, request.out);
        return outcome.written ? static_cast<int>(Success)
                               : failedWrite(console, request.out, outcome);
    });
}

int checkCommand(const CheckRequest& request, Console& console) {
    return guarded(console, request.nodes.demand, [&] {
        int status = Success;
        load(readProblemTexts(request.nodes, request.in), 'N', console, status);
        return status;
    });
}

int transformCommand(const TransformRequest& request, Console& console) {
    return guarded(console, request.nodes.demand, [&] {
        int status = Success;
        const auto store = load(readProblemTexts(request.nodes, request.in), 'N', console, status);
        if (!store) {
            return status;
        }
        const int n = store->NodeCount;
        if (const auto negative = firstNegativeDistance(*store, n)) {
            return fail(console, request.in, 0, lines(negativeDistanceMessage(*negative)));
        }
        DistanceFileWriter writer(request.out);
        MatrixTransformation transformation(request.settings);
        const long double maximum = transformation.MaximumNewDistance(*store, n);
        for (const std::string& report :
             scalingReports(maximum, request.settings, console.separators)) {
            console.out << lines(report) << '\n';
        }
        // Reports that cannot be printed stop the run before the file is replaced.
        if (!console.out.flush()) {
            return static_cast<int>(BadInput);
        }
        transformation.apply(*store, n, maximum);
        const MatrixWriteReport outcome =
            writeWholeMatrix(writer, *store, absolutePath(request.out));
        if (!outcome.written) {
            return failedWrite(console, request.out, outcome);
        }
        console.out << printable(outcome.message) << '\n';
        return static_cast<int>(Success);
    });
}

std::optional<std::string> applyEquation(const std::string& text, DistanceEquations& equations) {
    const std::string form = "expected K=CONSTANT,COEFFICIENT,EXPONENT with K from 0 to 3";
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        return form;
    }
    const auto k = parseInteger(text.substr(0, equals));
    if (!k || *k < 0 || *k > 3) {
        return form;
    }
    std::array<double, 3> values{};
    std::size_t at = equals + 1;
    for (std::size_t v = 0; v < values.size(); ++v) {
        const std::size_t comma = v + 1 < values.size() ? text.find(',', at) : text.size();
        if (comma == std::string::npos) {
            return form;
        }
        const auto value = parseFloat(text.substr(at, comma - at), '.');
        if (!value) {
            return form;
        }
        values[v] = *value;
        at = comma + 1;
    }
    const auto outside = [](double value, const EntryRange& range) {
        return value < range.min || value > range.max;
    };
    if (outside(values[0], EquationFactorRange) || outside(values[1], EquationFactorRange)) {
        return "the constant and the coefficient must lie from " + rangeText(EquationFactorRange);
    }
    if (outside(values[2], EquationExponentRange)) {
        return "the exponent must lie from " + rangeText(EquationExponentRange);
    }
    equations.EquationConstant[*k] = values[0];
    equations.EquationCoefficient[*k] = values[1];
    equations.EquationExponent[*k] = values[2];
    return std::nullopt;
}

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
    // An empty name would only fail later, after files were read or created.
    const CLI::Validator fileName(
        [](std::string& name) { return name.empty() ? "a file name cannot be empty" : ""; },
        "FILE");

    ComputeRequest compute;
    std::string metric;
    auto* computeVerb = app.add_subcommand(
        "compute", "Compute the distances between the nodes and write the distance file");
    addMetricOption(*computeVerb, metric, "")->required();
    addNodeFileOptions(*computeVerb, compute.nodes, fileName);
    computeVerb->add_option("--out", compute.out, "Distance file to write")
        ->required()
        ->check(fileName);

    CheckRequest check;
    auto* checkVerb =
        app.add_subcommand("check", "Check that a distance file fits the node files and reads");
    addNodeFileOptions(*checkVerb, check.nodes, fileName);
    checkVerb->add_option("--in", check.in, "Distance file to check")->required()->check(fileName);

    TransformRequest transform;
    std::vector<std::string> equations;
    int64_t coverage = 0;
    int64_t scale = 10000;
    bool noScale = false;
    auto* transformVerb = app.add_subcommand(
        "transform", "Transform a distance matrix by the four equations and write it");
    addNodeFileOptions(*transformVerb, transform.nodes, fileName);
    transformVerb->add_option("--in", transform.in, "Distance file to transform")
        ->required()
        ->check(fileName);
    transformVerb->add_option("--out", transform.out, "Distance file to write")
        ->required()
        ->check(fileName);
    transformVerb->add_option("--coverage", coverage, "Coverage distance (whole number)")
        ->required()
        ->transform(wholeNumber())
        ->check(CLI::Range(int64_t{INT32_MIN}, int64_t{INT32_MAX}));
    transformVerb
        ->add_option("--equation", equations,
                     "K=CONSTANT,COEFFICIENT,EXPONENT for equation K (0: up to the coverage, "
                     "diagonal; 1: up to it, off the diagonal; 2: beyond it, diagonal; 3: beyond "
                     "it, off the diagonal); unset equations are 0,1,1")
        ->take_all();
    transformVerb
        ->add_option("--scale", scale,
                     "Maximum scale distance (" + rangeText(ScaleDistanceRange) + ")")
        ->transform(wholeNumber())
        ->check(CLI::Range(int64_t{ScaleDistanceRange.min}, int64_t{ScaleDistanceRange.max}));
    transformVerb->add_flag("--no-scale", noScale, "Do not scale to the maximum scale distance");

    NetworkVerb network(app, fileName);
    ReportVerb report(app, fileName);
    NodesVerb nodes(app, fileName);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        console.out << app.help();
        return Success;
    } catch (const CLI::CallForAllHelp&) {
        console.out << app.help("", CLI::AppFormatMode::All);
        return Success;
    } catch (const CLI::CallForVersion&) {
        const auto version = actions.version();
        if (!version) {
            return fail(console, "--version", 0, "the program file carries no version record");
        }
        console.out << "velmora-batch " << *version << '\n';
        return Success;
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            console.out << app.help();
            return Success;
        }
        console.err << "velmora-batch: " << printable(error.what()) << '\n'
                    << "Run with --help for more information.\n";
        return BadUsage;
    }

    setWorkerCount(static_cast<unsigned>(threads));
    if (computeVerb->parsed()) {
        compute.metricCode = metricCodeNamed(metric);
        return actions.compute(compute, console);
    }
    if (checkVerb->parsed()) {
        return actions.check(check, console);
    }
    if (network.chosen()) {
        return network.run(console, actions.network);
    }
    if (report.chosen()) {
        return report.run(console, actions.report, pictures);
    }
    if (nodes.chosen()) {
        return nodes.run(console, actions.nodes);
    }
    for (const std::string& equation : equations) {
        if (const auto problem = applyEquation(equation, transform.settings.equations)) {
            console.err << "velmora-batch: --equation " << printable(equation) << ": " << *problem
                        << '\n';
            return BadUsage;
        }
    }
    transform.settings.CoverageDistance = static_cast<int32_t>(coverage);
    transform.settings.ScaleDistance = static_cast<int32_t>(scale);
    transform.settings.ScaleRequested = !noScale;
    return actions.transform(transform, console);
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
