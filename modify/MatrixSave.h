#pragma once

// The save that ends both matrix dialogs: the choice of the file, its claim before anything
// is computed, the write and its report, and MatrixSaved telling whether the matrix is on
// disk.

#include <optional>

#include "platform/Prompts.h"
#include "store/DistanceFile.h"

struct TDataStore;

class MatrixSave {
public:
    MatrixSave(Prompts& prompts, TDataStore& store);

    // Points the save dialog at the distance files of the metric in force.
    void prepareDialog();
    // The file-choice loop; the chosen name, or none, goes into DistanceFileName. True when
    // a file is to be written.
    bool chooseFile();
    // Claims the chosen file, nothing when none was chosen; throws InOutError when it cannot
    // be created.
    std::optional<DistanceFileWriter> claimFile();
    // Writes the whole matrix to the claimed file, shows how that went and records it in
    // MatrixSaved.
    void writeAndReport(DistanceFileWriter& writer);

private:
    Prompts& m_prompts;
    TDataStore& m_store;
    // The dialog offers the last chosen name and filter again on its next use.
    FileDialogSettings m_saveDistances;
};
