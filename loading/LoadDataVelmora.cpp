#include "loading/LoadDataVelmora.h"

#include <QCloseEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <filesystem>

#include "gis/NodeImport.h"
#include "loading/DataLoad.h"
#include "loading/FileToRead.h"
#include "loading/LayerImport.h"
#include "loading/NodeFile.h"
#include "loading/RadioGroup.h"
#include "loading/RoadMapOptions.h"
#include "platform/FileStamp.h"
#include "platform/qt/DisplayableLine.h"
#include "platform/qt/FocusVisible.h"
#include "platform/qt/LocaleNumbers.h"
#include "roads/RoadError.h"
#include "roads/RoadMatrix.h"
#include "store/DataStore.h"
#include "store/DistanceFile.h"
#include "store/DistanceMetrics.h"
#include "store/SaveFileChoice.h"
#include "ui_LoadDataVelmora.h"

namespace {

constexpr int ComputeItem = 0;
constexpr int ReadItem = 1;
constexpr int RoadMapItem = 2;
constexpr int NetworkItem = 3;
// The sample box shows the start of a first line, however long the line is.
constexpr int SampleLineLimit = 300;

const char* const DemandFilter =
    "Euclidean Distance  Data File|*.euc|Great Circle Distance Data File|*.grt|Manhattan "
    "Distance Data File|*.man|Network Distance Data File|*.net|All Files|*.*";
const char* const ExtrasFilter =
    "Euclidean Distance Extra File|*.euc|Great Circle Distance Extra File|*.grt|Manhattan "
    "Distance Extra File|*.man|Network Distance Extra File|*.net|All Files|*.*";
const char* const RoadMapFilter =
    "OpenStreetMap Files|*.osm.pbf;*.osm;*.osm.bz2;*.osm.gz|All Files|*.*";
const char* const RoadDistancesTitle = "VELMORA Road Distances";
const char* const DistanceFilter =
    "Euclidean Distance File|*.eud|Great Circle Distance File|*.grd|Manhattan Distance "
    "File|*.mad|Network Distance File|*.ned|All Files|*.*";

QString nodeCountText(long long count, const std::string& firstLine) {
    return QString::number(count) + QStringLiteral(" Nodes in file") +
           (hasNames(firstLine) ? QStringLiteral(" with names") : QStringLiteral(" without names"));
}

QString weightText(int position) {
    return QStringLiteral("Specify Weight on Demand 1 (W=") +
           QString::fromStdString(formatShortest(position / 100.0, localeSeparators().decimal)) +
           QLatin1Char(')');
}

}  // namespace

TLoadDataVelmoraForm::TLoadDataVelmoraForm(Prompts& prompts, TDataStore& store)
    : ui(std::make_unique<Ui::TLoadDataVelmoraForm>()), m_prompts(prompts), m_store(store) {
    ui->setupUi(this);
    fixSizeAndCentre();
    m_distanceMetric = new RadioGroup(ui->DistanceMetric,
                                      {ui->Euclidean, ui->GreatCircle, ui->Manhattan, ui->Network});
    m_distFileCreation = new RadioGroup(ui->DistFileCreation,
                                        {ui->ComputeDistances, ui->ReadDistanceFile, ui->RoadMap});
    for (QLabel* label : {ui->DataFileToRead, ui->ExtraFileToRead, ui->DistFileToRead}) {
        m_fileLabelHints[label] = label->toolTip();
    }
    frameWhileFocused(ui->PercentDem1);
    // GIS layers come after All Files, so every filter keeps its place.
    m_getDemandFileName.filter = std::string(DemandFilter) + "|GIS Layers|" + GisLayerPatterns;
    m_readExtras.filter = std::string(ExtrasFilter) + "|GIS Layers|" + GisLayerPatterns;
    m_getDistFileName.filter = DistanceFilter;
    m_saveDistances.filter = DistanceFilter;
    m_getRoadMapFileName.filter = RoadMapFilter;
    connect(m_distanceMetric, &RadioGroup::clicked, this,
            &TLoadDataVelmoraForm::DistanceMetricClick);
    connect(ui->SpecifyDemand, &QPushButton::clicked, this,
            &TLoadDataVelmoraForm::SpecifyDemandClick);
    connect(ui->PercentDem1, &QScrollBar::valueChanged, this,
            &TLoadDataVelmoraForm::PercentDem1Change);
    connect(ui->ExtraSites, &QPushButton::clicked, this, &TLoadDataVelmoraForm::ExtraSitesClick);
    connect(m_distFileCreation, &RadioGroup::clicked, this,
            &TLoadDataVelmoraForm::DistFileCreationClick);
    connect(ui->SpecifyDistanceFile, &QPushButton::clicked, this,
            &TLoadDataVelmoraForm::SpecifyDistanceFileClick);
    connect(ui->ExitAndLoadData, &QPushButton::clicked, this,
            &TLoadDataVelmoraForm::ExitAndLoadDataClick);
    connect(ui->CancelButton, &QPushButton::clicked, this,
            &TLoadDataVelmoraForm::CancelButtonClick);
}

TLoadDataVelmoraForm::~TLoadDataVelmoraForm() = default;

void TLoadDataVelmoraForm::closeEvent(QCloseEvent* event) {
    // Closed from outside, it hands back as Cancel does.
    event->accept();
    emit showMainWindow();
}

void TLoadDataVelmoraForm::InitLoadData() {
    ui->DistanceMetric->setEnabled(true);
    m_distanceMetric->setItemIndex(-1);
    ui->SpecifyDemand->setEnabled(false);
    ui->SampleDemandData->clear();
    ui->SampleDemandData->hide();
    ui->ExtraSites->setEnabled(false);
    ui->DistFileCreation->setEnabled(false);
    ui->ComputeDistances->setEnabled(true);
    ui->RoadMap->setEnabled(false);
    forgetRoadMap();
    m_roadMapChoice = RoadMapChoice();
    ui->SpecifyDistanceFile->setEnabled(false);
    ui->ExitAndLoadData->setEnabled(false);
    hideInformationLabels();
    ui->CancelButton->setEnabled(true);
    ui->PercentDem1->setEnabled(false);
    ui->PercentDem1->setValue(100);
    m_demandLineCount = 0;
    m_candidateLineCount = 0;
    m_store.DemandFileName.clear();
    m_store.DistanceFileName.clear();
    m_store.CandidateFileName.clear();
    m_distFileCreation->setItemIndex(-1);
    ResetDataStore(m_store);
    emit matrixCommandsEnabled(false);
}

void TLoadDataVelmoraForm::DistanceMetricClick() {
    const int item = m_distanceMetric->itemIndex();
    if (item < 0) {
        return;
    }
    const Metric& metric = Metrics[static_cast<std::size_t>(item)];
    m_store.DataFileExt = metric.nodeFileExtension;
    m_store.MetricCode = metric.code;
    ui->SpecifyDemand->setEnabled(true);
    for (FileDialogSettings* dialog :
         {&m_getDemandFileName, &m_readExtras, &m_getDistFileName, &m_saveDistances}) {
        dialog->filterIndex = metric.filterIndex;
        dialog->defaultExt = metric.distanceFileExtension;
    }
    ui->RoadMap->setEnabled(metric.distancesFromFile);
    ui->DistanceMetric->setEnabled(false);
}

void TLoadDataVelmoraForm::SpecifyDemandClick() {
    forgetFiles();
    chooseFileToRead(m_prompts, m_getDemandFileName, m_store.DemandFileName);
    importIfLayer(m_store.DemandFileName, DemandFilter);
    if (m_store.DemandFileName.empty()) {
        showNoDemandFile();
        return;
    }
    m_demandStamp = fileStamp(m_store.DemandFileName);
    showFileName(ui->DataFileToRead, m_store.DemandFileName);

    const NodeFilePreview preview = preReadNodeFile(m_store.DemandFileName);
    m_demandLineCount = static_cast<int>(std::min<long long>(preview.lineCount, INT32_MAX));
    ui->SampleDemandData->appendPlainText(QStringLiteral("Line 1 (Dem. Node File) = ") +
                                          displayableLine(preview.firstLine, SampleLineLimit));
    ui->SampleDemandData->show();
    ui->NoNodesRead->setText(nodeCountText(preview.lineCount, preview.firstLine));
    ui->NoNodesRead->show();

    if (!networkMetric()) {
        ui->DistFileCreation->setEnabled(true);
    } else {
        forceReadDistanceFile();
    }
    ui->PercentDem1->setEnabled(true);
    ui->ScrollBarLabel->setText(weightText(ui->PercentDem1->value()));
    ui->ExtraSites->setEnabled(m_demandLineCount < MaxNodes);
    ui->SpecifyDemand->setEnabled(false);
}

void TLoadDataVelmoraForm::PercentDem1Change(int position) {
    ui->ScrollBarLabel->setText(weightText(position));
}

void TLoadDataVelmoraForm::ExtraSitesClick() {
    chooseFileToRead(m_prompts, m_readExtras, m_store.CandidateFileName);
    importIfLayer(m_store.CandidateFileName, ExtrasFilter);
    if (m_store.CandidateFileName.empty()) {
        forgetCandidateFile();
    } else {
        m_candidateStamp = fileStamp(m_store.CandidateFileName);
        showFileName(ui->ExtraFileToRead, m_store.CandidateFileName);
        const NodeFilePreview preview = preReadNodeFile(m_store.CandidateFileName);
        const long long total = m_demandLineCount + preview.lineCount;
        m_candidateLineCount = static_cast<int>(std::min<long long>(preview.lineCount, INT32_MAX));
        if (total > MaxNodes) {
            m_prompts.messageBox(BoxType::Error, "Too Many Total Nodes ... Extra Sites Ignored.",
                                 Buttons::Ok);
            ui->NoNodesReadExtra->hide();
            ui->ExtraFileToRead->hide();
            m_store.CandidateFileName.clear();
            m_candidateLineCount = 0;
        } else {
            const QString first = ui->SampleDemandData->document()->firstBlock().text();
            ui->SampleDemandData->setPlainText(first);
            ui->SampleDemandData->appendPlainText(
                QStringLiteral("Line 1 (Cand Site File) = ") +
                displayableLine(preview.firstLine, SampleLineLimit));
            ui->SampleDemandData->show();
            ui->NoNodesReadExtra->setText(nodeCountText(preview.lineCount, preview.firstLine));
            ui->NoNodesReadExtra->show();
        }
    }
    chooseDistancesAgain();
}

void TLoadDataVelmoraForm::chooseDistancesAgain() {
    m_distFileCreation->setItemIndex(-1);
    ui->DistFileCreation->setEnabled(true);
    ui->SpecifyDistanceFile->setEnabled(false);
    ui->DistFileToRead->clear();
    ui->DistFileToRead->hide();
    ui->ExtraSites->setEnabled(true);
    ui->ExitAndLoadData->setEnabled(false);
    if (networkMetric()) {
        forceReadDistanceFile();
    }
}

void TLoadDataVelmoraForm::DistFileCreationClick() {
    if (m_roadMap && m_distFileCreation->itemIndex() != RoadMapItem) {
        forgetRoadMap();
        ui->DistFileToRead->hide();
    }
    if (m_distFileCreation->itemIndex() == ComputeItem) {
        ui->ExitAndLoadData->setEnabled(true);
        ui->SpecifyDistanceFile->setEnabled(false);
        m_store.DistanceFileName.clear();
        ui->DistFileToRead->hide();
        ui->ExtraSites->setEnabled(true);
    } else if (m_distFileCreation->itemIndex() == ReadItem) {
        ui->ExitAndLoadData->setEnabled(false);
        ui->SpecifyDistanceFile->setEnabled(true);
    } else if (m_distFileCreation->itemIndex() == RoadMapItem) {
        ui->ExitAndLoadData->setEnabled(false);
        ui->SpecifyDistanceFile->setEnabled(true);
        m_store.DistanceFileName.clear();
        ui->DistFileToRead->hide();
    }
}

void TLoadDataVelmoraForm::SpecifyDistanceFileClick() {
    if (m_distFileCreation->itemIndex() == RoadMapItem) {
        specifyRoadMap();
        return;
    }
    chooseFileToRead(m_prompts, m_getDistFileName, m_store.DistanceFileName);
    if (m_store.DistanceFileName.empty()) {
        ui->DistFileToRead->hide();
        ui->ExitAndLoadData->setEnabled(false);
        if (networkMetric()) {
            return;
        }
        m_distFileCreation->setItemIndex(-1);
        ui->SpecifyDistanceFile->setEnabled(false);
        return;
    }
    showFileName(ui->DistFileToRead, m_store.DistanceFileName);
    ui->ExitAndLoadData->setEnabled(true);
    const int nodes = m_demandLineCount + m_candidateLineCount;
    if (!distanceFileFits(m_store.DistanceFileName, nodes)) {
        m_prompts.messageBox(BoxType::Error, IncompatibleDistancesMessage, Buttons::Ok);
        // The refused file is not used; the choice of another one stays open.
        m_store.DistanceFileName.clear();
        ui->ExitAndLoadData->setEnabled(false);
        ui->DistFileToRead->hide();
        return;
    }
    ui->ExtraSites->setEnabled(false);
}

void TLoadDataVelmoraForm::ExitAndLoadDataClick() {
    // A node file written since it was chosen would load other nodes than the dialog shows.
    if (changedSince(m_store.DemandFileName, m_demandStamp)) {
        refuseChangedFile(m_store.DemandFileName);
        forgetFiles();
        showNoDemandFile();
        ui->PercentDem1->setEnabled(false);
        ui->SpecifyDemand->setEnabled(true);
        return;
    }
    if (!m_store.CandidateFileName.empty() &&
        changedSince(m_store.CandidateFileName, m_candidateStamp)) {
        refuseChangedFile(m_store.CandidateFileName);
        forgetCandidateFile();
        chooseDistancesAgain();
        return;
    }
    m_store.DemandWeightPercent = ui->PercentDem1->value();
    if (m_roadMap) {
        if (loadFromRoadMap()) {
            saveAndHandBack();
        }
        return;
    }
    const LoadFiles files{m_store.DemandFileName, m_store.CandidateFileName,
                          m_store.DistanceFileName};
    const LoadOutcome outcome = loadProblem(m_store, files, localeSeparators().decimal);
    switch (outcome.status) {
        case LoadOutcome::Status::DistancesIncompatible:
            m_prompts.messageBox(BoxType::Error, IncompatibleDistancesMessage, Buttons::Ok);
            return;
        case LoadOutcome::Status::DistanceTooLarge:
            m_prompts.messageBox(BoxType::Error,
                                 distanceTooLargeMessage(outcome.fromNode, outcome.toNode),
                                 Buttons::Ok);
            return;
        case LoadOutcome::Status::Loaded:
            break;
    }
    saveAndHandBack();
}

void TLoadDataVelmoraForm::saveAndHandBack() {
    if (m_store.DistanceFileName.empty()) {
        // The target becomes the store's distance file only once it is written: after a
        // failed save, pressing the button again must compute and offer the save again, not
        // read the file that could not be written.
        std::string saved;
        chooseFileToWrite(m_prompts, m_saveDistances, saved);
        if (!saved.empty()) {
            DistanceFileWriter writer(saved);
            if (!writer.write(m_store, m_store.NodeCount)) {
                throw inOutErrorFor("Cannot write file", saved, writer.error());
            }
        }
        m_store.DistanceFileName = saved;
    }
    emit matrixCommandsEnabled(true);
    m_store.MatrixSaved = true;
    leaveDialog();
}

void TLoadDataVelmoraForm::specifyRoadMap() {
    std::string path;
    chooseFileToRead(m_prompts, m_getRoadMapFileName, path);
    std::optional<RoadMapChoice> choice;
    if (!path.empty()) {
        choice = TRoadMapOptionsForm::ask(this, m_prompts, m_roadMapChoice);
    }
    if (!choice) {
        forgetRoadMap();
        ui->DistFileToRead->hide();
        ui->ExitAndLoadData->setEnabled(false);
        return;
    }
    m_roadMapChoice = *choice;
    m_roadMap = RoadMapFile{path, *choice};
    showFileName(
        ui->DistFileToRead, path,
        QString::fromStdString(roadSettingsText(roadMatrixSource(path, choice->settings))));
    ui->ExitAndLoadData->setEnabled(true);
}

void TLoadDataVelmoraForm::forgetRoadMap() {
    m_roadMap.reset();
}

bool TLoadDataVelmoraForm::loadFromRoadMap() {
    loadNodes(m_store, {m_store.DemandFileName, m_store.CandidateFileName, ""},
              localeSeparators().decimal);
    const std::vector<RoadPlace> places = nodePlaces(m_store, m_store.NodeCount);
    RoadSettings settings = m_roadMap->choice.settings;
    settings.separators = localeSeparators();
    RoadMatrix matrix;
    bool computed = false;
    try {
        if (const RoadMatrix* kept = m_roadMatrixMemo.find(m_roadMap->path, places, settings)) {
            matrix = *kept;
            computed = true;
        } else {
            locatingRoadErrors(
                {m_store.DemandFileName, m_store.CandidateFileName, m_store.DemandNodeCount,
                 m_roadMap->path},
                [&] {
                    computed = m_prompts.runTask(RoadDistancesTitle, [&](TaskProgress& progress) {
                        matrix = computeRoadMatrix(m_roadMap->path, places, settings, progress,
                                                   RoadLinesWanted::Yes);
                    });
                });
            if (computed) {
                m_roadMatrixMemo.keep(m_roadMap->path, places, settings, matrix);
            }
        }
    } catch (const RunTimeError& error) {
        // An input/output error names its file itself; the others are named as velmora-batch
        // names them.
        const bool named = dynamic_cast<const InOutError*>(&error) != nullptr;
        m_prompts.messageBox(BoxType::Error, named ? error.message() : placedMessage(error),
                             Buttons::Ok);
    }
    if (!computed) {
        // Refused or cancelled, the road map is not used, as a distance file that does not fit
        // is not: another one may be chosen.
        forgetRoadMap();
        ui->DistFileToRead->hide();
        ui->ExitAndLoadData->setEnabled(false);
        return false;
    }
    storeRoadMatrix(m_store, matrix, m_roadMap->path, settings);
    if (matrix.summary.zeroCells > 0) {
        m_prompts.messageBox(BoxType::Warning, zeroCellsWarning(matrix.summary, settings),
                             Buttons::Ok);
    }
    return true;
}

void TLoadDataVelmoraForm::CancelButtonClick() {
    leaveDialog();
}

void TLoadDataVelmoraForm::importIfLayer(std::string& chosen, const char* nodeFileFilter) {
    if (chosen.empty() || !isGisLayerFile(chosen)) {
        return;
    }
    const Metric& metric = *metricWithNodeFileExtension(m_store.DataFileExt);
    chosen =
        TLayerImportForm::importNodes(this, m_prompts, chosen, metric, nodeFileFilter).value_or("");
}

void TLoadDataVelmoraForm::forgetFiles() {
    m_demandLineCount = 0;
    m_candidateLineCount = 0;
    m_store.DemandFileName.clear();
    m_store.CandidateFileName.clear();
    m_store.DistanceFileName.clear();
    ui->ExitAndLoadData->setEnabled(false);
    hideInformationLabels();
    ui->SampleDemandData->clear();
}

void TLoadDataVelmoraForm::showNoDemandFile() {
    ui->NoNodesRead->hide();
    ui->DataFileToRead->hide();
    m_demandLineCount = 0;
    ui->DistFileCreation->setEnabled(false);
    m_distFileCreation->setItemIndex(-1);
    ui->ExtraSites->setEnabled(false);
    ui->SpecifyDistanceFile->setEnabled(false);
    ui->ExitAndLoadData->setEnabled(false);
    ui->SampleDemandData->clear();
}

void TLoadDataVelmoraForm::forgetCandidateFile() {
    m_store.CandidateFileName.clear();
    m_candidateLineCount = 0;
    ui->NoNodesReadExtra->clear();
    ui->NoNodesReadExtra->hide();
    ui->ExtraFileToRead->clear();
    ui->ExtraFileToRead->hide();
    if (ui->SampleDemandData->blockCount() > 1) {
        const QString first = ui->SampleDemandData->document()->firstBlock().text();
        ui->SampleDemandData->setPlainText(first);
    }
}

void TLoadDataVelmoraForm::refuseChangedFile(const std::string& path) {
    m_prompts.messageBox(BoxType::Error,
                         "File [" + path + "] changed since it was chosen... Choose it again.",
                         Buttons::Ok);
}

void TLoadDataVelmoraForm::hideInformationLabels() {
    for (QLabel* label : {ui->DataFileToRead, ui->NoNodesRead, ui->ExtraFileToRead,
                          ui->NoNodesReadExtra, ui->DistFileToRead}) {
        label->hide();
    }
}

void TLoadDataVelmoraForm::showFileName(QLabel* label, const std::string& path,
                                        const QString& secondLine) {
    static const QString prefix = QStringLiteral("File to Read = ");
    const QString name = visibleText(std::filesystem::path(path).filename().string());
    label->ensurePolished();
    const QFontMetrics metrics = label->fontMetrics();
    const int room = label->contentsRect().width() - metrics.horizontalAdvance(prefix);
    label->setText(prefix + metrics.elidedText(name, Qt::ElideMiddle, room) +
                   (secondLine.isEmpty() ? QString() : QLatin1Char('\n') + secondLine));
    const QString tip = m_fileLabelHints[label] + QLatin1Char('\n') + visibleText(path);
    // Markup in a name is shown, not followed, and no line is broken: a path would break at
    // each slash. Assistive technology gets the plain text.
    label->setToolTip(QStringLiteral("<p style='white-space:pre'>") + tip.toHtmlEscaped() +
                      QStringLiteral("</p>"));
    label->setAccessibleDescription(tip);
    label->show();
}

bool TLoadDataVelmoraForm::networkMetric() const {
    const Metric* metric = metricWithNodeFileExtension(m_store.DataFileExt);
    return metric && metric->distancesFromFile;
}

void TLoadDataVelmoraForm::forceReadDistanceFile() {
    ui->ComputeDistances->setEnabled(false);
    ui->DistFileCreation->setEnabled(true);
    m_distFileCreation->setItemIndex(ReadItem);
}
