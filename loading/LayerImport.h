#pragma once

// The small dialog that makes a node file from a GIS layer the user picked in the load
// dialog: the layer, the field for each node-file field, and the CRS where one is needed.
// Its OK writes the node file where the user says, as every save does.

#include <QDialog>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gis/NodeImport.h"
#include "platform/Prompts.h"

class QComboBox;
struct Metric;
namespace Ui {
class TLayerImportForm;
}

class TLayerImportForm : public QDialog {
    Q_OBJECT
public:
    // The layers of the file at `path`, for a node file of `metric` saved through a dialog
    // with these filters.
    TLayerImportForm(Prompts& prompts, GisLayers& gis, const std::string& path,
                     std::vector<LayerSummary> layers, const Metric& metric,
                     const std::string& nodeFileFilter, QWidget* parent = nullptr);
    ~TLayerImportForm() override;

    // Runs the dialog modally on the layers of the file at `path`: the full path of the node
    // file written, or nothing when the file cannot be read or the user cancels.
    static std::optional<std::string> importNodes(QWidget* parent, Prompts& prompts,
                                                  const std::string& path, const Metric& metric,
                                                  const std::string& nodeFileFilter);

    // What the dialog's choices ask for.
    NodeImport request() const;
    const std::string& written() const { return m_written; }

private:
    void LayerChoiceChange();
    void OkButtonClick();
    const LayerSummary& layer() const;
    // Fills a field's list: `none` first, then the layer's fields.
    void offerFields(QComboBox* field, const QString& none, bool enabled);
    std::string chosenField(const QComboBox* field) const;

    std::unique_ptr<Ui::TLayerImportForm> ui;
    Prompts& m_prompts;
    GisLayers& m_gis;
    std::string m_path;
    std::vector<LayerSummary> m_layers;
    const Metric& m_metric;
    FileDialogSettings m_saveNodes;
    // What the source CRS held while a layer with a CRS of its own is chosen.
    QString m_sourceCrs;
    std::string m_written;
};
