#pragma once

// The coverage preview: the report of the loaded matrix at the coverage distance the
// equation dialog holds, beside that dialog, redrawn each time the coverage is entered. Its
// histogram and map are the pictures of velmora-batch report, painted in the window; its
// panel holds the report's key numbers, with the demand weighted as the problem was loaded.

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Prompts.h"
#include "report/CoverageProfile.h"

struct Chart;
struct TDataStore;
namespace Ui {
class TCoveragePreview;
}

class TCoveragePreview : public QWidget {
    Q_OBJECT
public:
    // The preview of `dialog`, placed beside it each time it opens.
    TCoveragePreview(Prompts& prompts, const TDataStore& store, QWidget* dialog);
    ~TCoveragePreview() override;

    // The matrix may have changed: the next opening reads it again.
    void matrixChanged();
    // Shows the preview at this coverage, leaving the keyboard with the dialog; a preview
    // already open comes to the front and takes the keyboard.
    void open(int32_t coverage);
    // Redraws an open preview for a new coverage.
    void followCoverage(int32_t coverage);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void readProblem();
    void showCoverage(int32_t coverage);
    void showNumbers(const CoverageReport& report);
    void SaveHistogramClick();
    void SaveMapClick();
    void savePicture(const Chart& chart, FileDialogSettings& dialog);

    std::unique_ptr<Ui::TCoveragePreview> ui;
    Prompts& m_prompts;
    const TDataStore& m_store;
    QWidget* m_dialog;
    // Sorted when the preview opens on a matrix it has not read yet.
    std::optional<CoverageProfile> m_profile;
    std::vector<double> m_demand;
    // Why the report cannot be made (a negative demand); empty when it can.
    std::string m_refusal;
    FileDialogSettings m_saveHistogram;
    FileDialogSettings m_saveMap;
};
