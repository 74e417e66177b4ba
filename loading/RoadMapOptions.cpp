#include "loading/RoadMapOptions.h"

#include <filesystem>
#include <iterator>

#include "loading/FileToRead.h"
#include "loading/RadioGroup.h"
#include "platform/RunTimeError.h"
#include "platform/TextFile.h"
#include "platform/qt/DisplayableLine.h"
#include "platform/qt/FocusVisible.h"
#include "platform/qt/LocaleNumbers.h"
#include "ui_RoadMapOptions.h"

namespace {

const char* const SpeedsFilter = "Speeds Files|*.txt|All Files|*.*";

template <typename Row, std::size_t N>
int indexIn(const Row (&rows)[N], const Row& row) {
    return static_cast<int>(&row - rows);
}

// The buttons take their labels from the table whose rows they stand for, in its order.
template <typename Row, std::size_t N>
void label(const QList<QRadioButton*>& buttons, const Row (&rows)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        buttons[static_cast<qsizetype>(i)]->setText(QString::fromUtf8(rows[i].label));
    }
}

// A speeds-file error names the line it is about, as velmora-batch does.
std::string locatedMessage(const RunTimeError& error) {
    if (error.line() == 0) {
        return error.message();
    }
    return "File [" + error.file() + "] line " + std::to_string(error.line()) + ": " +
           error.message();
}

}  // namespace

TRoadMapOptionsForm::TRoadMapOptionsForm(Prompts& prompts, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TRoadMapOptionsForm>()), m_prompts(prompts) {
    ui->setupUi(this);
    setFixedSize(size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    showFocusFromTheStart(this);
    const QList<QRadioButton*> modes{ui->Drive, ui->Walk};
    const QList<QRadioButton*> costs{ui->Distance, ui->TravelTime};
    m_unitButtons = {ui->Metres, ui->Kilometres, ui->Miles, ui->Seconds, ui->Minutes, ui->Hours};
    static_assert(std::size(Modes) == 2 && std::size(Costs) == 2 && std::size(Units) == 6);
    label(modes, Modes);
    label(costs, Costs);
    label(m_unitButtons, Units);
    m_travelMode = new RadioGroup(ui->TravelMode, modes);
    m_measure = new RadioGroup(ui->Measure, costs);
    m_cellUnit = new RadioGroup(ui->CellUnit, m_unitButtons);
    m_getSpeedsFileName.filter = SpeedsFilter;
    connect(m_measure, &RadioGroup::clicked, this, &TRoadMapOptionsForm::MeasureClick);
    connect(ui->ChooseSpeeds, &QPushButton::clicked, this, &TRoadMapOptionsForm::ChooseSpeedsClick);
    connect(ui->ClearSpeeds, &QPushButton::clicked, this, &TRoadMapOptionsForm::ClearSpeedsClick);
    connect(ui->OkButton, &QPushButton::clicked, this, &TRoadMapOptionsForm::accept);
    connect(ui->CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    setChoice(RoadMapChoice());
}

TRoadMapOptionsForm::~TRoadMapOptionsForm() = default;

std::optional<RoadMapChoice> TRoadMapOptionsForm::ask(QWidget* parent, Prompts& prompts,
                                                      const RoadMapChoice& start) {
    TRoadMapOptionsForm dialog(prompts, parent);
    dialog.setChoice(start);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.choice();
}

RoadMapChoice TRoadMapOptionsForm::choice() const {
    RoadMapChoice choice = m_choice;
    RoadSettings& settings = choice.settings;
    settings.mode = Modes[std::max(m_travelMode->itemIndex(), 0)].mode;
    settings.cost = Costs[std::max(m_measure->itemIndex(), 0)].cost;
    settings.unit = Units[std::max(m_cellUnit->itemIndex(), 0)].unit;
    return choice;
}

void TRoadMapOptionsForm::setChoice(const RoadMapChoice& choice) {
    m_choice = choice;
    const RoadSettings& settings = choice.settings;
    m_travelMode->setItemIndex(indexIn(Modes, modeRow(settings.mode)));
    m_measure->setItemIndex(indexIn(Costs, costRow(settings.cost)));
    showUnitsOf(settings.cost, settings.unit);
    ui->UnreachableValue->setText(
        settings.unreachableValue ? QString::number(*settings.unreachableValue) : QString());
    showSpeeds();
}

void TRoadMapOptionsForm::accept() {
    const QString text = ui->UnreachableValue->text().trimmed();
    if (text.isEmpty()) {
        m_choice.settings.unreachableValue.reset();
    } else if (const auto value = parseInteger(text.toStdString())) {
        m_choice.settings.unreachableValue = *value;
    } else {
        const NumberSeparators separators = localeSeparators();
        m_prompts.messageBox(BoxType::Error,
                             "Unreachable pairs get: '" + text.toStdString() +
                                 "' is not a whole number from " +
                                 formatNumber(INT32_MIN, 0, separators) + " to " +
                                 formatNumber(INT32_MAX, 0, separators),
                             Buttons::Ok);
        ui->UnreachableValue->setFocus();
        return;
    }
    QDialog::accept();
}

void TRoadMapOptionsForm::MeasureClick() {
    const RoadCost cost = Costs[std::max(m_measure->itemIndex(), 0)].cost;
    showUnitsOf(cost, costRow(cost).defaultUnit);
    showSpeeds();
}

void TRoadMapOptionsForm::ChooseSpeedsClick() {
    std::string path;
    chooseFileToRead(m_prompts, m_getSpeedsFileName, path);
    if (path.empty()) {
        return;
    }
    try {
        m_choice.settings.speeds = readRoadSpeeds(TextSource(path));
        m_choice.speedsFile = path;
    } catch (const RunTimeError& error) {
        m_prompts.messageBox(BoxType::Error, locatedMessage(error), Buttons::Ok);
    }
    showSpeeds();
}

void TRoadMapOptionsForm::ClearSpeedsClick() {
    m_choice.settings.speeds = RoadSpeeds();
    m_choice.speedsFile.clear();
    showSpeeds();
}

void TRoadMapOptionsForm::showUnitsOf(RoadCost cost, RoadUnit unit) {
    for (qsizetype i = 0; i < m_unitButtons.size(); ++i) {
        m_unitButtons[i]->setVisible(Units[i].cost == cost);
    }
    m_cellUnit->setItemIndex(indexIn(Units, unitRow(unit)));
}

void TRoadMapOptionsForm::showSpeeds() {
    const bool time = Costs[std::max(m_measure->itemIndex(), 0)].cost == RoadCost::Time;
    const std::string& path = m_choice.speedsFile;
    for (QWidget* control :
         {static_cast<QWidget*>(ui->Label2), static_cast<QWidget*>(ui->SpeedsFile),
          static_cast<QWidget*>(ui->ChooseSpeeds)}) {
        control->setEnabled(time);
    }
    ui->ClearSpeeds->setEnabled(time && !path.empty());
    if (path.empty()) {
        ui->SpeedsFile->setText(QStringLiteral("Default speeds"));
        ui->SpeedsFile->setToolTip(QStringLiteral("The speeds travel time is computed with"));
        return;
    }
    const QString name = visibleText(std::filesystem::path(path).filename().string());
    ui->SpeedsFile->setText(ui->SpeedsFile->fontMetrics().elidedText(
        name, Qt::ElideMiddle, ui->SpeedsFile->contentsRect().width()));
    // A name with markup is shown as it is.
    ui->SpeedsFile->setToolTip(QStringLiteral("<p style='white-space:pre'>") +
                               visibleText(path).toHtmlEscaped() + QStringLiteral("</p>"));
}
