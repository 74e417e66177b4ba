#include "loading/NodeFile.h"

#include "platform/NumberText.h"
#include "platform/RunTimeError.h"

namespace {

std::size_t skipSpaces(std::string_view text, std::size_t at) {
    while (at < text.size() && text[at] == ' ') {
        ++at;
    }
    return at;
}

std::size_t fieldEnd(std::string_view text, std::size_t at) {
    const std::size_t space = text.find(' ', at);
    return space == std::string_view::npos ? text.size() : space;
}

}  // namespace

int tokenizeLine(std::string_view line, NodeFields& fields) {
    std::size_t at = skipSpaces(line, 0);
    int count = 0;
    while (count < 6 && at < line.size()) {
        const std::size_t end = fieldEnd(line, at);
        fields[count++].assign(line.substr(at, end - at));
        at = skipSpaces(line, end);
    }
    if (count == 6 && at < line.size()) {
        fields[count++].assign(line.substr(at));
    }
    return count;
}

bool hasNames(std::string_view firstLine) {
    std::size_t at = skipSpaces(firstLine, 0);
    for (int field = 1; field <= 5; ++field) {
        const std::size_t end = fieldEnd(firstLine, at);
        if (end == firstLine.size()) {
            break;
        }
        at = skipSpaces(firstLine, end);
    }
    at = skipSpaces(firstLine, at);
    const std::size_t end = fieldEnd(firstLine, at);
    if (at == firstLine.size() || end == firstLine.size()) {
        return false;
    }
    return skipSpaces(firstLine, end) < firstLine.size();
}

double convertNodeField(const std::string& text, char decimalSeparator) {
    const auto value = parseFloat(text, decimalSeparator);
    if (!value) {
        // A field can be megabytes of junk; the message shows its start.
        constexpr std::size_t Shown = 80;
        const std::string shown = text.size() > Shown ? text.substr(0, Shown) + "..." : text;
        throw ConversionError("'" + shown + "' is not a valid floating point value");
    }
    return *value;
}

NodeFilePreview preReadNodeFile(const TextSource& file) {
    TextReader reader(file);
    NodeFilePreview preview;
    if (reader.readLine(preview.firstLine)) {
        preview.lineCount = 1;
        while (reader.skipLine()) {
            ++preview.lineCount;
        }
    }
    return preview;
}

NodeRecord& storeNode(TDataStore& store, int n, double x, double y) {
    NodeRecord& node = store.NodeTable.create(n);
    node.XCoord = x;
    node.YCoord = y;
    return node;
}

void readNodeFile(TDataStore& store, const TextSource& file, NodeFileKind kind, NodeFields& fields,
                  char decimalSeparator) {
    TextReader reader(file);
    std::string line;
    long long lineNumber = 0;
    try {
        while (reader.readLine(line)) {
            ++lineNumber;
            ++store.NodeCount;
            tokenizeLine(line, fields);
            NodeRecord& node = storeNode(store, store.NodeCount, 0, 0);
            node.XCoord = convertNodeField(fields[1], decimalSeparator);
            node.YCoord = convertNodeField(fields[2], decimalSeparator);
            if (kind == NodeFileKind::Demand) {
                const double set1 = convertNodeField(fields[3], decimalSeparator);
                const double set2 = convertNodeField(fields[4], decimalSeparator);
                node.Demand = NodeDemand{set1, set2};
            }
            convertNodeField(fields[5], decimalSeparator);
        }
    } catch (RunTimeError& error) {
        if (error.file().empty()) {
            error.setLocation(file.name(), lineNumber);
        }
        throw;
    }
    // Nothing to load is not a problem of 0 nodes: it would write an empty matrix.
    if (lineNumber == 0) {
        InOutError error("No nodes in file \"" + file.name() + "\"");
        error.setLocation(file.name(), 0);
        throw error;
    }
}
