#pragma once

// The load-data dialog: leads the user through the metric, the demand file, the weight,
// optional candidate sites, how the distances are obtained and the distance file, each step
// enabling the next, then loads the problem and hands control back to the main window.

#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/FileStamp.h"
#include "platform/Prompts.h"
#include "platform/qt/DataDialog.h"

class QLabel;
class RadioGroup;
struct TDataStore;
namespace Ui {
class TLoadDataVelmoraForm;
}

class TLoadDataVelmoraForm : public DataDialog {
    Q_OBJECT
public:
    TLoadDataVelmoraForm(Prompts& prompts, TDataStore& store);
    ~TLoadDataVelmoraForm() override;

    int DemandLineCount() const { return m_demandLineCount; }
    int CandidateLineCount() const { return m_candidateLineCount; }

signals:
    void matrixCommandsEnabled(bool enabled);

protected:
    void formShown() override { InitLoadData(); }
    void closeEvent(QCloseEvent* event) override;

private:
    void InitLoadData();
    void DistanceMetricClick();
    void SpecifyDemandClick();
    void PercentDem1Change(int position);
    void ExtraSitesClick();
    void DistFileCreationClick();
    void SpecifyDistanceFileClick();
    void ExitAndLoadDataClick();
    void CancelButtonClick();

    // Runs the open dialog until it gives an existing file or is cancelled; the stored name
    // is then the chosen path, or empty.
    void chooseFile(FileDialogSettings& dialog, std::string& storedName);
    // Steps 1 and 3 of choosing the demand file: no file chosen, nothing shown.
    void forgetFiles();
    void showNoDemandFile();
    void forgetCandidateFile();
    // The node count may have changed: how the distances are obtained is chosen again.
    void chooseDistancesAgain();
    void refuseChangedFile(const std::string& path);
    void hideInformationLabels();
    // The chosen file's name without its folder, shortened in the middle when it does not
    // fit; the full path is in the tool-tip.
    void showFileName(QLabel* label, const std::string& path);
    bool networkMetric() const;
    // Network distances have no source but a file: Read Distance File, not to be changed.
    void forceReadDistanceFile();

    std::unique_ptr<Ui::TLoadDataVelmoraForm> ui;
    Prompts& m_prompts;
    TDataStore& m_store;
    RadioGroup* m_distanceMetric;
    RadioGroup* m_distFileCreation;
    FileDialogSettings m_getDemandFileName;
    FileDialogSettings m_readExtras;
    FileDialogSettings m_getDistFileName;
    FileDialogSettings m_saveDistances;
    // What the chosen node files were when they were read for the dialog.
    std::optional<FileStamp> m_demandStamp;
    std::optional<FileStamp> m_candidateStamp;
    int m_demandLineCount = 0;
    int m_candidateLineCount = 0;
    // The design tool-tip of each file-name label, shown above the file's full path.
    std::map<QLabel*, QString> m_fileLabelHints;
};
