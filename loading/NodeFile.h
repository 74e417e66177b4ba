#pragma once

// Node and candidate-site files: one node per line, fields separated by spaces (only the
// space character separates). Field 2 and 3 are the coordinates, 4 to 6 further numbers
// (4 and 5 only in demand files), field 7 an optional name running to the end of the line.

#include <array>
#include <string>
#include <string_view>

#include "platform/TextFile.h"
#include "store/DataStore.h"

using NodeFields = std::array<std::string, 7>;

// Cuts the line into fields; returns how many it holds (at most 7). Fields the line does
// not reach keep what they held, so a short or blank line repeats the line before it.
int tokenizeLine(std::string_view line, NodeFields& fields);

// Whether a file carries names, from its first line: something after the sixth field.
bool hasNames(std::string_view firstLine);

// Throws ConversionError "'%s' is not a valid floating point value".
double convertNodeField(const std::string& text, char decimalSeparator);

struct NodeFilePreview {
    long long lineCount = 0;
    std::string firstLine;
};

// Counts the lines and keeps the first, as the load dialog shows them.
NodeFilePreview preReadNodeFile(const TextSource& file);

enum class NodeFileKind { Demand, CandidateSites };

// Places node n with every field zero, then its coordinates.
NodeRecord& storeNode(TDataStore& store, int n, double x, double y);

// Reads every line of the file as one node numbered on from NodeCount. The fields carry
// over from one line to the next, and from the demand file into the candidate-site file.
// Demand nodes keep fields 4 and 5 as their demand, whatever their sign. A field that does not
// convert or a node beyond the table stops with the run-time error, located at the file and line,
// the nodes read so far counted. A file without a single line is an InOutError.
void readNodeFile(TDataStore& store, const TextSource& file, NodeFileKind kind, NodeFields& fields,
                  char decimalSeparator);
