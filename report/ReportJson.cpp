#include "report/ReportJson.h"

#include <map>

#include "platform/Utf8.h"
#include "report/ReportNumbers.h"
#include "store/DistanceMetrics.h"

namespace {

class JsonObject {
public:
    void add(const char* key, const std::string& value) {
        m_text += m_text.empty() ? "{\n" : ",\n";
        m_text += "  \"";
        m_text += key;
        m_text += "\": ";
        m_text += value;
    }
    std::string close() const { return m_text + "\n}\n"; }

private:
    std::string m_text;
};

template <typename T>
std::string number(T value) {
    return std::to_string(value);
}

template <typename T>
std::string orNull(const std::optional<T>& value) {
    return value ? number(*value) : "null";
}

template <typename List, typename Item>
std::string array(const List& items, Item item) {
    std::string text = "[";
    for (const auto& value : items) {
        text += text.size() > 1 ? ", " : "";
        text += item(value);
    }
    return text + "]";
}

std::string pairs(const MatrixProblem& problem) {
    return array(problem.examples, [](const NodePair& pair) {
        return "[" + number(pair.from) + ", " + number(pair.to) + "]";
    });
}

std::string spread(const CoverageReport& report) {
    const auto& s = report.offDiagonal;
    const auto field = [&](int32_t DistanceSpread::*member) {
        return s ? number((*s).*member) : std::string("null");
    };
    const std::string share =
        report.offDiagonalCells > 0
            ? jsonNumber(static_cast<double>(report.offDiagonalWithinCoverage) /
                         static_cast<double>(report.offDiagonalCells))
            : "null";
    return "{\"cells\": " + number(report.offDiagonalCells) +
           ", \"minimum\": " + field(&DistanceSpread::minimum) +
           ", \"lowerQuartile\": " + field(&DistanceSpread::lowerQuartile) +
           ", \"median\": " + field(&DistanceSpread::median) +
           ", \"upperQuartile\": " + field(&DistanceSpread::upperQuartile) +
           ", \"maximum\": " + field(&DistanceSpread::maximum) +
           ", \"withinCoverage\": " + number(report.offDiagonalWithinCoverage) +
           ", \"shareWithinCoverage\": " + share + "}";
}

std::string distribution(const std::vector<int>& counts) {
    std::map<int, int> demandNodesBy;
    for (const int count : counts) {
        ++demandNodesBy[count];
    }
    return array(demandNodesBy, [](const std::pair<const int, int>& entry) {
        return "{\"nodes\": " + number(entry.first) + ", \"demandNodes\": " + number(entry.second) +
               "}";
    });
}

std::string hex(unsigned value, int digits) {
    std::string text;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        text += "0123456789ABCDEF"[(value >> shift) & 15];
    }
    return text;
}

std::string sourceObject(const MatrixSource& source) {
    std::string text = "{\"kind\": ";
    switch (source.kind) {
        case MatrixSource::Kind::Metric:
            return text + "\"metric\", \"metric\": \"" + metricWithCode(source.metricCode).name +
                   "\"}";
        case MatrixSource::Kind::DistanceFile:
            return text + "\"distance-file\", \"file\": " + jsonString(source.file) + "}";
        case MatrixSource::Kind::RoadMap:
            break;
    }
    return text + "\"road-map\", \"file\": " + jsonString(source.file) +
           ", \"mode\": " + jsonString(source.mode) + ", \"cost\": " + jsonString(source.cost) +
           ", \"unit\": " + jsonString(source.unit) + "}";
}

}  // namespace

std::string jsonString(const std::string& text) {
    std::string json = "\"";
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, at, c);
        if (length == 0) {
            json += "\\\\x" + hex(static_cast<unsigned char>(text[at]), 2);
            ++at;
            continue;
        }
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (isControlCharacter(c)) {
            json += "\\u" + hex(static_cast<unsigned>(c), 4);
        } else {
            json.append(text, at, length);
        }
        at += length;
    }
    return json + "\"";
}

std::string coverageReportJson(const CoverageReport& report, const MatrixSource& source) {
    const auto plain = [](auto value) { return number(value); };
    JsonObject json;
    json.add("nodes", number(report.nodes));
    json.add("demandNodes", number(report.demandNodes));
    json.add("candidateSites", number(report.nodes - report.demandNodes));
    json.add("coverage", number(report.coverage));
    json.add("metric", std::string("\"") + metricWithCode(source.metricCode).name + "\"");
    json.add("source", sourceObject(source));
    json.add("unit", cellUnit(source).empty() ? "null" : jsonString(cellUnit(source)));
    json.add("offDiagonal", spread(report));
    json.add("equationCells", array(report.equationCells, plain));
    json.add("isolatedDemandNodes", array(report.isolatedDemandNodes, plain));
    json.add("nodesWithinCoverage", array(report.nodesWithinCoverage, plain));
    json.add("nodesWithinCoverageDistribution", distribution(report.nodesWithinCoverage));
    json.add("coverageToCoverEveryDemandNode", orNull(report.coverageToCoverEveryDemandNode));
    if (const auto& demand = report.demand) {
        json.add("demandWeightPercent", number(demand->weightPercent));
        json.add("demand", jsonNumber(demand->total));
        json.add("demandWithinCoverage", jsonNumber(demand->withinCoverage));
        json.add("demandShareWithinCoverage",
                 demand->total > 0 ? jsonNumber(demand->withinCoverage / demand->total) : "null");
        json.add("isolatedDemand", jsonNumber(demand->isolated));
    }
    json.add("asymmetricPairs", number(report.asymmetricPairs.count));
    json.add("asymmetricPairExamples", pairs(report.asymmetricPairs));
    json.add("zeroDistancePairs", number(report.zeroDistancePairs.count));
    json.add("zeroDistancePairExamples", pairs(report.zeroDistancePairs));
    json.add("negativeCells", number(report.negativeCells.count));
    json.add("negativeCellExamples", pairs(report.negativeCells));
    json.add("nonZeroDiagonalCells", number(report.nonZeroDiagonal.count));
    json.add("nonZeroDiagonalNodes", array(report.nonZeroDiagonal.examples,
                                           [](const NodePair& cell) { return number(cell.from); }));
    return json.close();
}
