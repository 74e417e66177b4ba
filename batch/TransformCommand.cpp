#include "batch/TransformCommand.h"

#include <array>
#include <filesystem>

#include "batch/Printable.h"
#include "store/DistanceFile.h"

namespace batch {
namespace {

std::string lines(std::string text) {
    for (char& c : text) {
        if (c == '\r') {
            c = '\n';
        }
    }
    return text;
}

// The full path the program's save dialog would report; the name as given when the current
// folder is gone.
std::string absolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

}  // namespace

int transformCommand(const TransformRequest& request, Console& console) {
    return runVerb(console, request.nodes.demand, [&] {
        int status = Success;
        const auto store =
            loadProblemFiles(readProblemTexts(request.nodes, request.in), 'N', console, status);
        if (!store) {
            return status;
        }
        const int n = store->NodeCount;
        if (const auto negative = firstNegativeDistance(*store, n)) {
            return reportFailure(console, request.in, 0, lines(negativeDistanceMessage(*negative)));
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

TransformVerb::TransformVerb(CLI::App& app, const CLI::Validator& fileName)
    : Verb(app, "transform", "Transform a distance matrix by the four equations and write it") {
    addNodeFileOptions(command(), m_request.nodes, fileName);
    command()
        .add_option("--in", m_request.in, "Distance file to transform")
        ->required()
        ->check(fileName);
    command()
        .add_option("--out", m_request.out, "Distance file to write")
        ->required()
        ->check(fileName);
    addCoverageOption(command(), m_coverage);
    command()
        .add_option("--equation", m_equations,
                    "K=CONSTANT,COEFFICIENT,EXPONENT for equation K (0: up to the coverage, "
                    "diagonal; 1: up to it, off the diagonal; 2: beyond it, diagonal; 3: beyond "
                    "it, off the diagonal); unset equations are 0,1,1")
        ->take_all();
    command()
        .add_option("--scale", m_scale,
                    "Maximum scale distance (" + rangeText(ScaleDistanceRange) + ")")
        ->transform(wholeNumber())
        ->check(CLI::Range(int64_t{ScaleDistanceRange.min}, int64_t{ScaleDistanceRange.max}));
    command().add_flag("--no-scale", m_noScale, "Do not scale to the maximum scale distance");
}

int TransformVerb::run(Console& console, const Actions& actions) {
    for (const std::string& equation : m_equations) {
        if (const auto problem = applyEquation(equation, m_request.settings.equations)) {
            console.err << "velmora-batch: --equation " << printable(equation) << ": " << *problem
                        << '\n';
            return BadUsage;
        }
    }
    m_request.settings.CoverageDistance = static_cast<int32_t>(m_coverage);
    m_request.settings.ScaleDistance = static_cast<int32_t>(m_scale);
    m_request.settings.ScaleRequested = !m_noScale;
    return actions.transform(m_request, console);
}

}  // namespace batch
