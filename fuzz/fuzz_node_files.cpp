#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "loading/DataLoad.h"
#include "loading/NodeFile.h"
#include "platform/RunTimeError.h"
#include "platform/TextFile.h"
#include "store/DistanceMetrics.h"

namespace {

// Whole node files through the load, read by their names and read once as velmora-batch
// reads them. The first byte picks the metric and the decimal separator; the rest is the
// demand file, then the candidate-site file and (for the network metric) the distance file,
// separated by a byte 29.
constexpr char FileSeparator = 29;

// Lines by the text rules, from the whole text at once, so the reader's 64 KiB chunks have
// something independent to agree with.
std::vector<std::string_view> referenceLines(std::string_view text) {
    text = text.substr(0, text.find('\x1A'));
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t cr = text.find('\r');
        if (cr == std::string_view::npos) {
            lines.push_back(text);
            break;
        }
        lines.push_back(text.substr(0, cr));
        text.remove_prefix(cr + (cr + 1 < text.size() && text[cr + 1] == '\n' ? 2 : 1));
    }
    return lines;
}

enum class Ending { Loaded, RangeError, ConversionError, InOutError };

struct Expected {
    Ending ending = Ending::Loaded;
    std::string message;
    std::vector<NodeRecord> nodes;
};

// What the load must do with these lines: node k takes the fields of line k, missing ones
// carried over from the line before, also from the demand file into the candidate-site file.
Expected expectedLoad(const std::vector<std::vector<std::string_view>>& files, char decimal) {
    Expected expected;
    NodeFields fields;
    for (std::size_t file = 0; file < files.size(); ++file) {
        for (const std::string_view line : files[file]) {
            if (line.size() > TextReader::MaxLineLength) {
                expected.ending = Ending::InOutError;
                return expected;
            }
            if (expected.nodes.size() == MaxNodes) {
                expected.ending = Ending::RangeError;
                return expected;
            }
            tokenizeLine(line, fields);
            NodeRecord node;
            try {
                node.XCoord = convertNodeField(fields[1], decimal);
                node.YCoord = convertNodeField(fields[2], decimal);
                if (file == 0) {
                    convertNodeField(fields[3], decimal);
                    convertNodeField(fields[4], decimal);
                }
                convertNodeField(fields[5], decimal);
            } catch (const ConversionError& error) {
                expected.ending = Ending::ConversionError;
                expected.message = error.message();
                return expected;
            }
            expected.nodes.push_back(node);
        }
        if (files[file].empty()) {
            expected.ending = Ending::InOutError;
            return expected;
        }
    }
    return expected;
}

bool same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

// Computed cells must be what evaluating each pair on its own gives; all of them for small
// problems, three whole rows for large ones.
void checkComputedCells(const TDataStore& store, int n) {
    for (int i = 1; i <= n; ++i) {
        if (n > 40 && i != 1 && i != n / 2 + 1 && i != n) {
            continue;
        }
        for (int j = 1; j <= n; ++j) {
            const auto expected = roundToCell(NodeDistance(store, i, j));
            require(expected && store.DistanceMatrix[i][j] == *expected);
        }
    }
}

struct Loaded {
    Ending ending = Ending::Loaded;
    std::string message;
    std::unique_ptr<TDataStore> store;
    LoadOutcome outcome;
};

Loaded load(const LoadFiles& files, char metricCode, char decimal) {
    Loaded loaded;
    loaded.store = std::make_unique<TDataStore>();
    loaded.store->MetricCode = metricCode;
    try {
        loaded.outcome = loadProblem(*loaded.store, files, decimal);
    } catch (const RangeError&) {
        loaded.ending = Ending::RangeError;
    } catch (const ConversionError& error) {
        loaded.ending = Ending::ConversionError;
        loaded.message = error.message();
    } catch (const InOutError& error) {
        loaded.ending = Ending::InOutError;
        loaded.message = error.message();
    }
    return loaded;
}

bool sameLoad(const Loaded& a, const Loaded& b) {
    const int n = a.store->NodeCount;
    if (a.ending != b.ending || a.message != b.message || n != b.store->NodeCount ||
        a.outcome.status != b.outcome.status || a.outcome.failedLine != b.outcome.failedLine) {
        return false;
    }
    for (int k = 1; k <= std::min(n, MaxNodes); ++k) {
        const auto& first = a.store->NodeTable;
        const auto& second = b.store->NodeTable;
        if (first.holds(k) != second.holds(k)) {
            return false;
        }
        if (first.holds(k) && (!same(first[k].XCoord, second[k].XCoord) ||
                               !same(first[k].YCoord, second[k].YCoord))) {
            return false;
        }
    }
    if (a.ending != Ending::Loaded || !a.outcome.loaded()) {
        return true;
    }
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            if (a.store->DistanceMatrix[i][j] != b.store->DistanceMatrix[i][j]) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const Metric& metric = Metrics[data[0] % Metrics.size()];
    const char decimal = (data[0] & 4) != 0 ? ',' : '.';
    std::vector<std::string_view> parts;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    while (parts.size() < 2) {
        const std::size_t separator = rest.find(FileSeparator);
        if (separator == std::string_view::npos) {
            break;
        }
        parts.push_back(rest.substr(0, separator));
        rest.remove_prefix(separator + 1);
    }
    parts.push_back(rest);
    const bool network = metric.distancesFromFile;
    const std::size_t nodeFiles = std::min<std::size_t>(parts.size(), 2);

    std::vector<std::unique_ptr<MemoryFile>> files;
    std::vector<std::vector<std::string_view>> lines;
    for (std::size_t i = 0; i < nodeFiles; ++i) {
        files.push_back(std::make_unique<MemoryFile>(parts[i]));
        lines.push_back(referenceLines(parts[i]));
    }
    const MemoryFile distances(network && parts.size() == 3 ? parts[2] : std::string_view());
    for (const auto& file : files) {
        if (!file->ready()) {
            return 0;
        }
    }
    if (!distances.ready()) {
        return 0;
    }
    const LoadFiles byName{files[0]->path(), nodeFiles > 1 ? files[1]->path() : "",
                           network ? distances.path() : ""};
    // velmora-batch reads each file once and loads from the text kept: the same load.
    const auto once = [](const TextSource& file, long long lineLimit) {
        return file.empty() ? TextSource() : readTextOnce(file.name(), lineLimit);
    };
    const LoadFiles readOnce{once(byName.demand, MaxNodes), once(byName.candidates, MaxNodes),
                             once(byName.distances, static_cast<long long>(MaxNodes) * MaxNodes)};

    const Expected expected = expectedLoad(lines, decimal);
    const Loaded loaded = load(byName, metric.code, decimal);
    require(sameLoad(loaded, load(readOnce, metric.code, decimal)));
    require(loaded.ending == expected.ending);
    if (loaded.ending == Ending::RangeError) {
        require(loaded.store->NodeCount == MaxNodes + 1);
    }
    if (loaded.ending == Ending::ConversionError) {
        require(loaded.message == expected.message);
    }
    if (loaded.ending != Ending::Loaded) {
        return 0;
    }
    const TDataStore& store = *loaded.store;
    const int n = store.NodeCount;
    require(static_cast<std::size_t>(n) == expected.nodes.size());
    for (int k = 1; k <= n; ++k) {
        require(same(store.NodeTable[k].XCoord, expected.nodes[k - 1].XCoord) &&
                same(store.NodeTable[k].YCoord, expected.nodes[k - 1].YCoord));
    }
    if (loaded.outcome.status == LoadOutcome::Status::DistanceTooLarge) {
        require(!network &&
                !roundToCell(NodeDistance(store, loaded.outcome.fromNode, loaded.outcome.toNode)));
    } else if (loaded.outcome.loaded() && !network) {
        checkComputedCells(store, n);
    }
    return 0;
}
