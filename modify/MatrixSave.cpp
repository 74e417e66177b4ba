#include "modify/MatrixSave.h"

#include "store/DataStore.h"
#include "store/SaveFileChoice.h"

MatrixSave::MatrixSave(Prompts& prompts, TDataStore& store) : m_prompts(prompts), m_store(store) {
    m_saveDistances.filter =
        "Euclidean Distances|*.EUD|Great Circle Distances|*.GRD|Manhattan "
        "Distances|*.MAD|Network Distances|*.NED|All Files|*.*";
}

void MatrixSave::prepareDialog() {
    m_saveDistances.defaultExt = distanceFileExtension(m_store.DataFileExt);
    m_saveDistances.filterIndex = metricFilterIndex(m_store.DataFileExt);
}

bool MatrixSave::chooseFile() {
    chooseFileToWrite(m_prompts, m_saveDistances, m_store.DistanceFileName);
    return !m_store.DistanceFileName.empty();
}

std::optional<DistanceFileWriter> MatrixSave::claimFile() {
    if (m_store.DistanceFileName.empty()) {
        return std::nullopt;
    }
    return std::optional<DistanceFileWriter>(std::in_place, m_store.DistanceFileName);
}

void MatrixSave::writeAndReport(DistanceFileWriter& writer) {
    const MatrixWriteReport report = writeWholeMatrix(writer, m_store, m_store.DistanceFileName);
    m_prompts.messageBox(report.written ? BoxType::Information : BoxType::Warning, report.message,
                         Buttons::Ok);
    m_store.MatrixSaved = report.written;
}
