#include "loading/LayerImport.h"

#include <filesystem>

#include "gis/GisModule.h"
#include "platform/AtomicFile.h"
#include "platform/RunTimeError.h"
#include "platform/qt/DisplayableLine.h"
#include "platform/qt/LocaleNumbers.h"
#include "report/ReportNumbers.h"
#include "store/DataStore.h"
#include "store/DistanceMetrics.h"
#include "store/SaveFileChoice.h"
#include "ui_LayerImport.h"

namespace {

QString shown(const std::string& text) {
    return visibleText(text);
}

}  // namespace

TLayerImportForm::TLayerImportForm(Prompts& prompts, GisLayers& gis, const std::string& path,
                                   std::vector<LayerSummary> layers, const Metric& metric,
                                   const std::string& nodeFileFilter, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::TLayerImportForm>()),
      m_prompts(prompts),
      m_gis(gis),
      m_path(path),
      m_layers(std::move(layers)),
      m_metric(metric) {
    ui->setupUi(this);
    setFixedSize(size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    for (const LayerSummary& layer : m_layers) {
        ui->LayerChoice->addItem(shown(layer.name));
    }
    const bool planar = coordinatesForNodeFile(metric.nodeFileExtension) == NodeCoordinates::Planar;
    // Fields that do not apply stay readable and say why.
    ui->TargetCrs->setReadOnly(!planar);
    ui->TargetCrs->setPlaceholderText(planar ? QStringLiteral("the layer's own")
                                             : QStringLiteral("none: longitude and latitude"));
    m_saveNodes.filter = nodeFileFilter;
    m_saveNodes.filterIndex = metric.filterIndex;
    m_saveNodes.defaultExt = std::string(metric.nodeFileExtension).substr(1);
    // Beside the layer, named after it, with the metric's extension.
    m_saveNodes.fileName =
        std::filesystem::path(path).replace_extension(metric.nodeFileExtension).string();
    connect(ui->LayerChoice, &QComboBox::currentIndexChanged, this,
            &TLayerImportForm::LayerChoiceChange);
    connect(ui->OkButton, &QPushButton::clicked, this, &TLayerImportForm::OkButtonClick);
    connect(ui->CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    LayerChoiceChange();
}

TLayerImportForm::~TLayerImportForm() = default;

std::optional<std::string> TLayerImportForm::importNodes(QWidget* parent, Prompts& prompts,
                                                         const std::string& path,
                                                         const Metric& metric,
                                                         const std::string& nodeFileFilter) {
    std::vector<LayerSummary> layers;
    GisLayers* gis = nullptr;
    try {
        gis = &gisLayers();
        layers = layersOf(*gis, path);
    } catch (const RunTimeError& error) {
        prompts.messageBox(BoxType::Error, "File [" + path + "]: " + error.message(), Buttons::Ok);
        return std::nullopt;
    }
    if (layers.empty()) {
        prompts.messageBox(BoxType::Error, "File [" + path + "] holds no layers.", Buttons::Ok);
        return std::nullopt;
    }
    TLayerImportForm dialog(prompts, *gis, path, std::move(layers), metric, nodeFileFilter, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.written();
}

const LayerSummary& TLayerImportForm::layer() const {
    return m_layers.at(static_cast<std::size_t>(std::max(ui->LayerChoice->currentIndex(), 0)));
}

void TLayerImportForm::LayerChoiceChange() {
    const LayerSummary& chosen = layer();
    ui->LayerCrs->setText(chosen.crs ? shown(chosen.crs->name)
                                     : QStringLiteral("none (the source CRS below)"));
    if (chosen.crs && !ui->SourceCrs->isReadOnly()) {
        m_sourceCrs = ui->SourceCrs->text();
        ui->SourceCrs->clear();
    } else if (!chosen.crs && ui->SourceCrs->isReadOnly()) {
        ui->SourceCrs->setText(m_sourceCrs);
    }
    ui->SourceCrs->setReadOnly(chosen.crs.has_value());
    QString count = QString::fromStdString(groupedInteger(chosen.features, localeSeparators()));
    if (chosen.features > MaxNodes) {
        count += QStringLiteral(" (a node file holds at most ") + QString::number(MaxNodes) +
                 QLatin1Char(')');
    }
    ui->FeatureCount->setText(count);
    offerFields(ui->IdField, QStringLiteral("(the feature's number)"), true);
    offerFields(
        ui->XField,
        chosen.csv ? QStringLiteral("(lon, longitude or x)") : QStringLiteral("(the geometry)"),
        chosen.csv);
    offerFields(
        ui->YField,
        chosen.csv ? QStringLiteral("(lat, latitude or y)") : QStringLiteral("(the geometry)"),
        chosen.csv);
    offerFields(ui->DemandField, QStringLiteral("(none: 0)"), true);
    offerFields(ui->SecondDemandField, QStringLiteral("(as demand 1)"), true);
    offerFields(ui->NumberField, QStringLiteral("(none: 0)"), true);
    offerFields(ui->NameField, QStringLiteral("(no name)"), true);
}

void TLayerImportForm::offerFields(QComboBox* field, const QString& none, bool enabled) {
    field->clear();
    field->addItem(none);
    if (enabled) {
        for (const std::string& name : layer().fields) {
            field->addItem(shown(name));
        }
    }
    field->setEnabled(enabled);
}

std::string TLayerImportForm::chosenField(const QComboBox* field) const {
    const int item = field->currentIndex();
    return item > 0 ? layer().fields.at(static_cast<std::size_t>(item - 1)) : std::string();
}

NodeImport TLayerImportForm::request() const {
    NodeImport request;
    request.from = m_path;
    request.layer = layer().name;
    request.coordinates = coordinatesForNodeFile(m_metric.nodeFileExtension)
                              .value_or(NodeCoordinates::LongitudeLatitude);
    request.idField = chosenField(ui->IdField);
    request.xField = chosenField(ui->XField);
    request.yField = chosenField(ui->YField);
    request.demandField = chosenField(ui->DemandField);
    request.secondDemandField = chosenField(ui->SecondDemandField);
    request.numberField = chosenField(ui->NumberField);
    request.nameField = chosenField(ui->NameField);
    request.centroids = ui->Centroids->isChecked();
    if (!layer().crs) {
        request.sourceCrs = ui->SourceCrs->text().trimmed().toStdString();
    }
    if (!ui->TargetCrs->isReadOnly()) {
        request.crs = ui->TargetCrs->text().trimmed().toStdString();
    }
    return request;
}

void TLayerImportForm::OkButtonClick() {
    std::string text;
    try {
        // Read with the separator the load reads it with.
        text = importNodeFile(m_gis, request(), localeSeparators().decimal);
    } catch (const RunTimeError& error) {
        m_prompts.messageBox(BoxType::Error, "File [" + m_path + "]: " + error.message(),
                             Buttons::Ok);
        return;
    }
    const std::string target = chooseFileToSave(m_prompts, m_saveNodes);
    if (target.empty()) {
        return;
    }
    AtomicFileWriter file(target);
    if (!file.write(text) || !file.commit()) {
        throw inOutErrorFor("Cannot write file", target, file.error());
    }
    m_written = target;
    accept();
}
