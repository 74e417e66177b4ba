#include "modify/DistSpecification.h"

#include <QHideEvent>
#include <optional>

#include "modify/EntryChecks.h"
#include "modify/EntryLimits.h"
#include "modify/NumericEdit.h"
#include "platform/qt/LocaleNumbers.h"
#include "preview/CoveragePreview.h"
#include "store/DataStore.h"
#include "ui_DistSpecification.h"

namespace {

QString shown(long double value, int decimals) {
    return QString::fromStdString(formatNumber(value, decimals, localeSeparators()));
}

}  // namespace

TDistEquationForm::TDistEquationForm(Prompts& prompts, TDataStore& store)
    : ui(std::make_unique<Ui::TDistEquationForm>()),
      m_prompts(prompts),
      m_store(store),
      m_matrixSave(prompts, store) {
    ui->setupUi(this);
    fixSizeAndCentre();
    m_entryFields = std::make_unique<NumericEntryFields>(prompts, ui->QuitAndRun);
    m_constants = {ui->Constant1, ui->Constant2, ui->Constant3, ui->Constant4};
    m_coefficients = {ui->Coef1, ui->Coef2, ui->Coef3, ui->Coef4};
    m_exponents = {ui->Expon1, ui->Expon2, ui->Expon3, ui->Expon4};
    m_letters = {ui->LabelA, ui->LabelB, ui->LabelC, ui->LabelD, ui->LabelE, ui->LabelF,
                 ui->LabelG, ui->LabelH, ui->LabelI, ui->LabelJ, ui->LabelK, ui->LabelL};
    m_entryFields->watch(ui->CVDist, [this] { CVDistExit(); });
    m_entryFields->watch(ui->ScaleDist, [this] { ScaleDistExit(); });
    for (int n = 1; n <= 4; ++n) {
        m_entryFields->watch(m_constants[n - 1], [this, n] { ConstantExit(n); });
        m_entryFields->watch(m_coefficients[n - 1], [this, n] { CoefExit(n); });
        m_entryFields->watch(m_exponents[n - 1], [this, n] { ExponExit(n); });
    }
    connect(ui->ScaleDistCheckBox, &QCheckBox::clicked, this,
            &TDistEquationForm::ScaleDistCheckBoxClick);
    connect(ui->ResetAll, &QPushButton::clicked, this, &TDistEquationForm::ResetAllClick);
    connect(ui->CancelButton, &QPushButton::clicked, this, &TDistEquationForm::CancelButtonClick);
    connect(ui->QuitAndRun, &QPushButton::clicked, this, &TDistEquationForm::QuitAndRunClick);
    connect(ui->PreviewCoverage, &QPushButton::clicked, this,
            &TDistEquationForm::PreviewCoverageClick);
}

TDistEquationForm::~TDistEquationForm() = default;

void TDistEquationForm::FormActivate() {
    ui->ScaleDistCheckBox->setChecked(true);
    m_settings.ScaleRequested = ui->ScaleDistCheckBox->isChecked();
    m_equationsEnabled = false;
    m_settings.equations = DistanceEquations{};
    m_settings.ScaleDistance = 10000;
    m_matrixSave.prepareDialog();
    ShowAllValues();
    // The matrix may have changed while the dialog was hidden.
    if (m_preview) {
        m_preview->matrixChanged();
    }
}

void TDistEquationForm::ShowAllValues() {
    const DistanceEquations& eq = m_settings.equations;
    for (int k = 0; k < 4; ++k) {
        m_constants[k]->setText(shown(eq.EquationConstant[k], 3));
        m_coefficients[k]->setText(shown(eq.EquationCoefficient[k], 3));
        m_exponents[k]->setText(shown(eq.EquationExponent[k], 6));
    }
    ui->ScaleDist->setText(shown(m_settings.ScaleDistance, 2));
    for (QList<QLineEdit*>* fields : {&m_constants, &m_coefficients, &m_exponents}) {
        for (QLineEdit* field : *fields) {
            field->setEnabled(m_equationsEnabled);
        }
    }
    for (QLabel* letter : m_letters) {
        letter->setEnabled(m_equationsEnabled);
    }
    ui->QuitAndRun->setEnabled(m_equationsEnabled);
}

void TDistEquationForm::CVDistExit() {
    LineEditField field(ui->CVDist);
    const bool entered = checkCoverageEntry(m_prompts, field, m_settings.CoverageDistance);
    if (entered) {
        m_equationsEnabled = true;
    }
    ShowAllValues();
    if (entered && m_preview) {
        m_preview->followCoverage(m_settings.CoverageDistance);
    }
}

void TDistEquationForm::ConstantExit(int n) {
    LineEditField field(m_constants[n - 1]);
    CheckRealEntry(m_prompts, field, m_settings.equations.EquationConstant[n - 1],
                   EquationFactorRange.min, EquationFactorRange.max, localeSeparators());
    ShowAllValues();
}

void TDistEquationForm::CoefExit(int n) {
    LineEditField field(m_coefficients[n - 1]);
    CheckRealEntry(m_prompts, field, m_settings.equations.EquationCoefficient[n - 1],
                   EquationFactorRange.min, EquationFactorRange.max, localeSeparators());
    ShowAllValues();
}

void TDistEquationForm::ExponExit(int n) {
    LineEditField field(m_exponents[n - 1]);
    CheckRealEntry(m_prompts, field, m_settings.equations.EquationExponent[n - 1],
                   EquationExponentRange.min, EquationExponentRange.max, localeSeparators());
    ShowAllValues();
}

void TDistEquationForm::ScaleDistExit() {
    LineEditField field(ui->ScaleDist);
    CheckIntegerEntry(m_prompts, field, m_settings.ScaleDistance, ScaleDistanceRange.min,
                      ScaleDistanceRange.max);
    ShowAllValues();
}

void TDistEquationForm::ScaleDistCheckBoxClick() {
    m_settings.ScaleRequested = ui->ScaleDistCheckBox->isChecked();
}

void TDistEquationForm::ResetAllClick() {
    m_equationsEnabled = true;
    m_settings.equations = DistanceEquations{};
    ShowAllValues();
}

void TDistEquationForm::CancelButtonClick() {
    // The matrix keeps whatever unsaved changes it has: the exit still warns about them.
    leaveDialog();
}

void TDistEquationForm::PreviewCoverageClick() {
    if (!m_preview) {
        m_preview = std::make_unique<TCoveragePreview>(m_prompts, m_store, this);
    }
    m_preview->open(m_settings.CoverageDistance);
}

void TDistEquationForm::hideEvent(QHideEvent* event) {
    DataDialog::hideEvent(event);
    if (m_preview && !event->spontaneous()) {
        m_preview->close();
    }
}

void TDistEquationForm::QuitAndRunClick() {
    const int n = m_store.NodeCount;
    if (const auto negative = firstNegativeDistance(m_store, n)) {
        m_prompts.messageBox(BoxType::Warning, negativeDistanceMessage(*negative), Buttons::Ok);
        return;
    }
    if (!m_matrixSave.chooseFile() &&
        m_prompts.messageBox(BoxType::Warning,
                             "No file name specified, so new distances will not be stored\r"
                             "Do you want to compute the new distances anyway?",
                             Buttons::YesNo) != Answer::Yes) {
        m_prompts.messageBox(BoxType::Warning,
                             "<<< Distance matrix not modified and not saved ... WARNING >>>",
                             Buttons::Ok);
        leaveDialog();
        return;
    }
    std::optional<DistanceFileWriter> writer = m_matrixSave.claimFile();
    MatrixTransformation transformation(m_settings);
    const long double maximum = transformation.MaximumNewDistance(m_store, n);
    for (const std::string& report : scalingReports(maximum, m_settings, localeSeparators())) {
        m_prompts.messageBox(BoxType::Information, report, Buttons::Ok);
    }
    transformation.apply(m_store, n, maximum);
    if (!writer) {
        m_prompts.messageBox(BoxType::Warning,
                             "<<< Distance matrix modified, but not saved ... WARNING >>>",
                             Buttons::Ok);
        m_store.MatrixSaved = false;
        leaveDialog();
        return;
    }
    m_matrixSave.writeAndReport(*writer);
    leaveDialog();
}
