#include "loading/RoadMapOptions.h"

#include "loading/RadioGroup.h"
#include "ui_RoadMapOptions.h"

namespace {

// The items in the order of the groups' buttons.
constexpr TravelMode Modes[] = {TravelMode::Drive, TravelMode::Walk};
constexpr DistanceUnit Units[] = {DistanceUnit::Metres, DistanceUnit::Kilometres,
                                  DistanceUnit::Miles};

template <typename Value, std::size_t N>
int itemOf(const Value (&values)[N], Value value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (values[i] == value) {
            return static_cast<int>(i);
        }
    }
    return 0;
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
    return {Modes[std::max(m_travelMode->itemIndex(), 0)],
            Units[std::max(m_distanceUnit->itemIndex(), 0)]};
}

void TRoadMapOptionsForm::setChoice(const RoadMapChoice& choice) {
    m_travelMode->setItemIndex(itemOf(Modes, choice.mode));
    m_distanceUnit->setItemIndex(itemOf(Units, choice.unit));
}
