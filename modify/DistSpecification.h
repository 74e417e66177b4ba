#pragma once

// The distance-equation dialog: the coverage distance, the four equations, the maximum
// scale distance and whether to scale. Its run button transforms the whole matrix, writes
// it and returns to the main window.

#include <QList>
#include <functional>
#include <memory>

#include "modify/MatrixSave.h"
#include "modify/MatrixTransformation.h"
#include "platform/Prompts.h"
#include "platform/qt/DataDialog.h"

class NumericEntryFields;
class QLabel;
class QLineEdit;
class TCoveragePreview;
struct TDataStore;
namespace Ui {
class TDistEquationForm;
}

class TDistEquationForm : public DataDialog {
    Q_OBJECT
public:
    TDistEquationForm(Prompts& prompts, TDataStore& store);
    ~TDistEquationForm() override;

    // The dialog's state, which outlives each showing.
    const TransformSettings& settings() const { return m_settings; }
    bool EquationsEnabled() const { return m_equationsEnabled; }
    // The coverage preview, once it was first opened.
    TCoveragePreview* CoveragePreview() const { return m_preview.get(); }

protected:
    void formShown() override { FormActivate(); }
    // The preview closes with the dialog.
    void hideEvent(QHideEvent* event) override;

private:
    void FormActivate();
    void ShowAllValues();
    void CVDistExit();
    // Field n (1..4) of each kind edits equation n - 1.
    void ConstantExit(int n);
    void CoefExit(int n);
    void ExponExit(int n);
    void ScaleDistExit();
    void ScaleDistCheckBoxClick();
    void ResetAllClick();
    void CancelButtonClick();
    void QuitAndRunClick();
    void PreviewCoverageClick();

    std::unique_ptr<Ui::TDistEquationForm> ui;
    Prompts& m_prompts;
    TDataStore& m_store;
    TransformSettings m_settings;
    bool m_equationsEnabled = false;
    MatrixSave m_matrixSave;
    QList<QLineEdit*> m_constants, m_coefficients, m_exponents;
    QList<QLabel*> m_letters;
    // The key filter of every numeric field; it disables QuitAndRun.
    std::unique_ptr<NumericEntryFields> m_entryFields;
    // Created when first opened; it follows each completed entry of the coverage distance.
    std::unique_ptr<TCoveragePreview> m_preview;
};
