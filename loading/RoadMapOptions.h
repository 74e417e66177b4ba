#pragma once

// The small dialog that asks, once a road map is chosen, which roads to travel and the unit
// of the distances.

#include <QDialog>
#include <memory>
#include <optional>

#include "roads/RoadSettings.h"

class RadioGroup;
namespace Ui {
class TRoadMapOptionsForm;
}

struct RoadMapChoice {
    TravelMode mode = TravelMode::Drive;
    RoadUnit unit = RoadUnit::Metres;
};

class TRoadMapOptionsForm : public QDialog {
    Q_OBJECT
public:
    explicit TRoadMapOptionsForm(QWidget* parent = nullptr);
    ~TRoadMapOptionsForm() override;

    // Runs the dialog modally, starting from `start`; nothing when the user cancels.
    static std::optional<RoadMapChoice> ask(QWidget* parent, const RoadMapChoice& start);

    RoadMapChoice choice() const;
    void setChoice(const RoadMapChoice& choice);

private:
    std::unique_ptr<Ui::TRoadMapOptionsForm> ui;
    RadioGroup* m_travelMode;
    RadioGroup* m_distanceUnit;
};
