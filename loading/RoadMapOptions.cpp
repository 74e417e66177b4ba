#include "loading/RoadMapOptions.h"

#include <algorithm>

#include "loading/RadioGroup.h"
#include "ui_RoadMapOptions.h"

namespace {

// The units offered, in the order of the unit group's buttons.
const std::vector<RoadUnit> DistanceUnits = unitsOf(RoadCost::Distance);

int unitItem(RoadUnit unit) {
    const auto found = std::find(DistanceUnits.begin(), DistanceUnits.end(), unit);
    return found == DistanceUnits.end() ? 0 : static_cast<int>(found - DistanceUnits.begin());
}

}  // namespace

TRoadMapOptionsForm::TRoadMapOptionsForm(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TRoadMapOptionsForm>()) {
    ui->setupUi(this);
    setFixedSize(size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_travelMode = new RadioGroup(ui->TravelMode, {ui->Drive, ui->Walk});
    m_distanceUnit = new RadioGroup(ui->DistanceUnit, {ui->Metres, ui->Kilometres, ui->Miles});
    connect(ui->OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

TRoadMapOptionsForm::~TRoadMapOptionsForm() = default;

std::optional<RoadMapChoice> TRoadMapOptionsForm::ask(QWidget* parent, const RoadMapChoice& start) {
    TRoadMapOptionsForm dialog(parent);
    dialog.setChoice(start);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.choice();
}

RoadMapChoice TRoadMapOptionsForm::choice() const {
    return {Modes[std::max(m_travelMode->itemIndex(), 0)].mode,
            DistanceUnits[static_cast<std::size_t>(std::max(m_distanceUnit->itemIndex(), 0))]};
}

void TRoadMapOptionsForm::setChoice(const RoadMapChoice& choice) {
    m_travelMode->setItemIndex(static_cast<int>(&modeRow(choice.mode) - Modes));
    m_distanceUnit->setItemIndex(unitItem(choice.unit));
}
