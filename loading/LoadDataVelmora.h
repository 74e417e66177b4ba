#pragma once

// The load-data dialog: leads the user through the metric, the demand file, the weight,
// optional candidate sites, how the distances are obtained and the distance file, each step
// enabling the next, then loads the problem and hands control back to the main window.

#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "loading/RoadMapOptions.h"
#include "platform/FileStamp.h"
#include "platform/Prompts.h"
#include "platform/qt/DataDialog.h"
#include "roads/RoadMatrixMemo.h"

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

    // The road map chosen to compute the distances from, with what it is computed with.
    struct RoadMapFile {
        std::string path;
        RoadMapChoice choice;
    };
    const std::optional<RoadMapFile>& RoadMap() const { return m_roadMap; }

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

    // A GIS layer chosen becomes the node file the user makes of it in the import dialog,
    // saved through a dialog with these filters; nothing when that is cancelled.
    void importIfLayer(std::string& chosen, const char* nodeFileFilter);
    // Steps 1 and 3 of choosing the demand file: no file chosen, nothing shown.
    void forgetFiles();
    void showNoDemandFile();
    void forgetCandidateFile();
    // The node count may have changed: how the distances are obtained is chosen again.
    void chooseDistancesAgain();
    void refuseChangedFile(const std::string& path);
    void hideInformationLabels();
    // The chosen file's name without its folder, shortened in the middle when it does not
    // fit the label's width, and `secondLine` under it; the full path is in the tool-tip.
    void showFileName(QLabel* label, const std::string& path, const QString& secondLine = {});
    bool networkMetric() const;
    // Network distances come from a file or a road map, never from the coordinates: Read
    // Distance File to start with.
    void forceReadDistanceFile();
    // The road map and its mode and unit, in place of a distance file.
    void specifyRoadMap();
    void forgetRoadMap();
    // Reads the node files and computes the road distances; false when it did not come to
    // a matrix (an error shown, or cancelled).
    bool loadFromRoadMap();
    // After a load: offers to save computed distances, then hands back to the main window.
    void saveAndHandBack();

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
    FileDialogSettings m_getRoadMapFileName;
    std::optional<RoadMapFile> m_roadMap;
    // Loading the same problem again takes the matrix computed for it.
    RoadMatrixMemo m_roadMatrixMemo;
    // The last choice made, offered again with the next road map.
    RoadMapChoice m_roadMapChoice;
    int m_demandLineCount = 0;
    int m_candidateLineCount = 0;
    // The design tool-tip of each file-name label, shown above the file's full path.
    std::map<QLabel*, QString> m_fileLabelHints;
};
