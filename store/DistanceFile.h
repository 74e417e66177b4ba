#pragma once

// The distance file: N x N signed integers, one per line, column by column (line
// (c - 1) * N + r holds D[r][c]), every line ended by CR LF, no header.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/TextFile.h"
#include "store/DataStore.h"

inline constexpr const char* IncompatibleDistancesMessage =
    "Number of Distances Incompatible with Input Files";

// The distance-file extension of the metric whose node files end in dataFileExt; empty
// for no metric.
std::string distanceFileExtension(const std::string& dataFileExt);
// Filter position of the metric in the dialogs' filter lists; "All Files" otherwise.
int metricFilterIndex(const std::string& dataFileExt);

// Lines of the file, blank ones included. Throws InOutError when it cannot be read.
long long countDistanceFileLines(const TextSource& file);
// The check made when a file is chosen: exactly n * n lines.
bool distanceFileFits(const TextSource& file, int n);

struct DistanceReadResult {
    bool complete = false;
    // Where reading stopped when incomplete: the line of the value that is missing or does
    // not convert.
    long long failedLine = 0;
};

// Creates rows 1..n and reads them column by column; values not reached stay 0.
DistanceReadResult readDistanceFile(TDataStore& store, const TextSource& file, int n);

// The reports of the matrix dialogs' saves.
std::string successfullyWrittenMessage(const std::string& name, int32_t records);
std::string fatalWriteErrorMessage(const std::string& name);

// The file's bytes for rows and columns 1..n.
std::string formatDistanceFile(const TDataStore& store, int n);

// The writer claims its file when created (throws InOutError when it cannot) and replaces
// the target only once everything is written.
class DistanceFileWriter {
public:
    explicit DistanceFileWriter(const std::string& path) : m_file(path) {}
    // The number of records written, or nothing when writing or closing failed.
    std::optional<int32_t> write(const TDataStore& store, int n);
    int error() const { return m_file.error(); }

private:
    AtomicFileWriter m_file;
};

// How writing the whole matrix went, as every writer of the matrix reports it.
struct MatrixWriteReport {
    bool written = false;
    // The success or the fatal-error message, naming the file as given.
    std::string message;
    // The system's error number when the matrix was not written.
    int error = 0;
};

// Writes rows and columns 1..NodeCount to the claimed file; the report names it `shownName`.
MatrixWriteReport writeWholeMatrix(DistanceFileWriter& writer, const TDataStore& store,
                                   const std::string& shownName);
