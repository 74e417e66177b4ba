#include "modify/IndivChange.h"

#include "modify/EntryChecks.h"
#include "modify/EntryLimits.h"
#include "modify/NumericEdit.h"
#include "store/DataStore.h"
#include "ui_IndivChange.h"

namespace {
constexpr int32_t NoneSelected = -1;
}  // namespace

TIndividualChanges::TIndividualChanges(Prompts& prompts, TDataStore& store)
    : ui(std::make_unique<Ui::TIndividualChanges>()),
      m_prompts(prompts),
      m_store(store),
      m_matrixSave(prompts, store) {
    ui->setupUi(this);
    fixSizeAndCentre();
    m_entryFields = std::make_unique<NumericEntryFields>(prompts, ui->QuitAndSave);
    m_entryFields->watch(ui->RowNo, [this] { RowNoExit(); });
    m_entryFields->watch(ui->ColNo, [this] { ColNoExit(); });
    m_entryFields->watch(ui->NewDist, [this] { NewDistExit(); });
    connect(ui->Cancel, &QPushButton::clicked, this, &TIndividualChanges::CancelClick);
    connect(ui->QuitAndSave, &QPushButton::clicked, this, &TIndividualChanges::QuitAndSaveClick);
}

TIndividualChanges::~TIndividualChanges() = default;

void TIndividualChanges::FormShow() {
    ui->OldDist->hide();
    ui->OldDistLabel->hide();
    ui->NewDist->hide();
    ui->NewDistLabel->hide();
    m_selectedColumn = NoneSelected;
    m_selectedRow = NoneSelected;
    m_rowValid = false;
    m_columnValid = false;
    ui->ColNo->clear();
    ui->RowNo->clear();
    // Left with Ca&Ncel while a field held typing, the button would stay disabled, and this
    // is the save path the exit warning sends the user to.
    ui->QuitAndSave->setEnabled(true);
    ui->RowNo->setFocus(Qt::OtherFocusReason);
}

bool TIndividualChanges::focusNextPrevChild(bool next) {
    m_newDistAppeared = false;
    const bool moved = QWidget::focusNextPrevChild(next);
    // Tab picked the next control while the new-value field was still hidden; the exit of
    // the field just left has shown it, and it is where the user's next typing belongs.
    if (next && m_newDistAppeared) {
        ui->NewDist->setFocus(Qt::TabFocusReason);
    }
    m_newDistAppeared = false;
    return moved;
}

void TIndividualChanges::RowNoExit() {
    ui->QuitAndSave->setEnabled(true);
    m_selectedRow = NoneSelected;
    LineEditField field(ui->RowNo);
    CheckIntegerEntry(m_prompts, field, m_selectedRow, 1, m_store.NodeCount);
    m_rowValid = 1 <= m_selectedRow && m_selectedRow <= m_store.NodeCount;
    showSelectedElement();
}

void TIndividualChanges::ColNoExit() {
    ui->QuitAndSave->setEnabled(true);
    m_selectedColumn = NoneSelected;
    LineEditField field(ui->ColNo);
    CheckIntegerEntry(m_prompts, field, m_selectedColumn, 1, m_store.NodeCount);
    m_columnValid = 1 <= m_selectedColumn && m_selectedColumn <= m_store.NodeCount;
    showSelectedElement();
}

void TIndividualChanges::showSelectedElement() {
    if (m_rowValid && m_columnValid) {
        m_newDistAppeared = ui->NewDist->isHidden();
        ui->OldDist->show();
        ui->OldDist->setText(
            QString::number(m_store.DistanceMatrix[m_selectedRow][m_selectedColumn]));
        ui->OldDistLabel->show();
        ui->NewDistLabel->show();
        ui->NewDist->show();
        ui->NewDist->clear();
    } else {
        ui->OldDist->hide();
        ui->OldDistLabel->hide();
        ui->NewDistLabel->hide();
        ui->NewDist->hide();
    }
}

void TIndividualChanges::NewDistExit() {
    ui->QuitAndSave->setEnabled(true);
    // The field also loses its focus when a selector's exit hides it: no cell is chosen then.
    if (!m_rowValid || !m_columnValid) {
        return;
    }
    int32_t value = NoneSelected;
    LineEditField field(ui->NewDist);
    CheckIntegerEntry(m_prompts, field, value, NewCellValueRange.min, NewCellValueRange.max);
    if (value == NoneSelected) {
        return;
    }
    m_store.DistanceMatrix[m_selectedRow][m_selectedColumn] = value;
    m_store.MatrixSaved = false;
}

void TIndividualChanges::CancelClick() {
    leaveDialog();
}

void TIndividualChanges::QuitAndSaveClick() {
    m_matrixSave.prepareDialog();
    m_matrixSave.chooseFile();
    if (std::optional<DistanceFileWriter> writer = m_matrixSave.claimFile()) {
        m_matrixSave.writeAndReport(*writer);
    }
    leaveDialog();
}
