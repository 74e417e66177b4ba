#include "store/DistanceFile.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/HugePages.h"
#include "platform/Workers.h"
#include "store/DistanceMetrics.h"

namespace {

// Far longer than any 32-bit value with its sign; a longer run is refused where it stands
// instead of being read to its end.
constexpr int MaxValueLength = 64;

bool isBlank(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// One value as the reader takes it: blanks (line ends included) skipped, then the
// characters up to the next blank converted as a decimal integer with optional sign.
// Nothing when no value is left or the text does not convert.
std::optional<int32_t> readInteger(TextReader& reader, long long& line) {
    while (isBlank(reader.peek())) {
        reader.get();
    }
    line = reader.lineNumber();
    if (reader.atEnd()) {
        return std::nullopt;
    }
    bool negative = false;
    if (reader.peek() == '+' || reader.peek() == '-') {
        negative = reader.get() == '-';
    }
    constexpr long long limit = 1LL + std::numeric_limits<int32_t>::max();
    long long value = 0;
    bool valid = true;
    int digits = 0;
    for (int c = reader.peek(); c != TextReader::End && !isBlank(c); c = reader.peek()) {
        if (digits == MaxValueLength) {
            return std::nullopt;
        }
        reader.get();
        if (c < '0' || c > '9') {
            valid = false;
        } else if (value <= limit) {
            value = value * 10 + (c - '0');
        }
        ++digits;
    }
    if (!valid || digits == 0) {
        return std::nullopt;
    }
    if (negative) {
        value = -value;
    }
    if (value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

}  // namespace

std::string distanceFileExtension(const std::string& dataFileExt) {
    const Metric* metric = metricWithNodeFileExtension(dataFileExt);
    return metric ? metric->distanceFileExtension : "";
}

int metricFilterIndex(const std::string& dataFileExt) {
    const Metric* metric = metricWithNodeFileExtension(dataFileExt);
    return metric ? metric->filterIndex : AllFilesFilterIndex;
}

long long countDistanceFileLines(const TextSource& file) {
    TextReader reader(file);
    long long lines = 0;
    while (reader.skipLine()) {
        ++lines;
    }
    return lines;
}

bool distanceFileFits(const TextSource& file, int n) {
    return countDistanceFileLines(file) == static_cast<long long>(n) * n;
}

DistanceReadResult readDistanceFile(TDataStore& store, const TextSource& file, int n) {
    TextReader reader(file);
    std::vector<int32_t*> rows(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        rows[i - 1] = store.DistanceMatrix.create(i).columns();
    }
    for (int c = 0; c < n; ++c) {
        for (int32_t* row : rows) {
            long long line = 0;
            const auto value = readInteger(reader, line);
            if (!value) {
                return {false, line};
            }
            row[c] = *value;
            // The rest of the line, usually nothing but its end.
            if (reader.peek() == '\r') {
                reader.get();
            } else {
                reader.skipLine();
            }
        }
    }
    return {true, 0};
}

std::string successfullyWrittenMessage(const std::string& name, int32_t records) {
    return "<<< File [" + name + "] successfully written with " + std::to_string(records) +
           " records >>>";
}

std::string fatalWriteErrorMessage(const std::string& name) {
    return "<<< Fatal error writing file [" + name + "] >>>";
}

namespace {

// "-2147483648" and CR LF.
constexpr std::size_t LongestValue = 11;
constexpr std::size_t LongestRecord = LongestValue + 2;

// Appends value and CR LF at `out`, returning the new end.
char* appendRecord(char* out, int32_t value) {
    char* const end = std::to_chars(out, out + LongestValue, value).ptr;
    end[0] = '\r';
    end[1] = '\n';
    return end + 2;
}

// Columns are gathered a block at a time: walking one column down the rows touches a cache
// line per row, a block reuses each line for all of its columns.
constexpr int ColumnsPerBlock = 16;

// Writes the file's bytes for rows and columns 1..n into `out`, which holds n * n *
// LongestRecord characters, and returns the end. The workers format blocks of columns each
// into its own part of `out`; the parts are then closed up in order.
char* formatInto(char* out, const TDataStore& store, int n) {
    std::vector<const int32_t*> rows(static_cast<std::size_t>(n));
    for (int r = 1; r <= n; ++r) {
        rows[r - 1] = store.DistanceMatrix[r].columns();
    }
    const int blocks = (n + ColumnsPerBlock - 1) / ColumnsPerBlock;
    const std::size_t partSize = static_cast<std::size_t>(ColumnsPerBlock) * n * LongestRecord;
    std::vector<char*> partEnds(static_cast<std::size_t>(blocks));
    forEachBlock(0, blocks - 1, 1, [&](int block, int) {
        const int first = block * ColumnsPerBlock;
        const int width = std::min(ColumnsPerBlock, n - first);
        std::vector<int32_t> columns(static_cast<std::size_t>(width) * n);
        for (int r = 0; r < n; ++r) {
            for (int k = 0; k < width; ++k) {
                columns[static_cast<std::size_t>(k) * n + r] = rows[r][first + k];
            }
        }
        char* end = out + block * partSize;
        for (const int32_t value : columns) {
            end = appendRecord(end, value);
        }
        partEnds[block] = end;
    });
    char* end = out;
    for (int block = 0; block < blocks; ++block) {
        const char* part = out + block * partSize;
        const auto length = static_cast<std::size_t>(partEnds[block] - part);
        std::memmove(end, part, length);
        end += length;
    }
    return end;
}

std::size_t capacityFor(int n) {
    checkedSlot(n < 1 ? 1 : n);
    return static_cast<std::size_t>(n) * n * LongestRecord;
}

}  // namespace

std::string formatDistanceFile(const TDataStore& store, int n) {
    std::string text(capacityFor(n), '\0');
    text.resize(static_cast<std::size_t>(formatInto(text.data(), store, n) - text.data()));
    return text;
}

std::optional<int32_t> DistanceFileWriter::write(const TDataStore& store, int n) {
    HugePageBuffer buffer(capacityFor(n));
    const char* const end = formatInto(buffer.data(), store, n);
    if (!m_file.write({buffer.data(), static_cast<std::size_t>(end - buffer.data())}) ||
        !m_file.commit()) {
        return std::nullopt;
    }
    return n * n;
}

MatrixWriteReport writeWholeMatrix(DistanceFileWriter& writer, const TDataStore& store,
                                   const std::string& shownName) {
    if (const auto records = writer.write(store, store.NodeCount)) {
        return {true, successfullyWrittenMessage(shownName, *records), 0};
    }
    return {false, fatalWriteErrorMessage(shownName), writer.error()};
}
