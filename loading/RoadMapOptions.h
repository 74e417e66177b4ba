#pragma once

// The small dialog that asks, once a road map is chosen, which roads to travel, what the
// matrix measures and in which unit, the speeds travel time takes (the defaults or a speeds
// file) and the value of pairs no road joins.

#include <QDialog>
#include <QList>
#include <memory>
#include <optional>
#include <string>

#include "platform/Prompts.h"
#include "roads/RoadSettings.h"

class QRadioButton;
class RadioGroup;
namespace Ui {
class TRoadMapOptionsForm;
}

struct RoadMapChoice {
    // Mode, cost, unit, speeds and the unreachable value; nothing else is asked.
    RoadSettings settings;
    // The speeds file read into the settings, full path; empty for the default speeds.
    std::string speedsFile;
};

class TRoadMapOptionsForm : public QDialog {
    Q_OBJECT
public:
    explicit TRoadMapOptionsForm(Prompts& prompts, QWidget* parent = nullptr);
    ~TRoadMapOptionsForm() override;

    // Runs the dialog modally, starting from `start`; nothing when the user cancels.
    static std::optional<RoadMapChoice> ask(QWidget* parent, Prompts& prompts,
                                            const RoadMapChoice& start);

    // The choice shown; the unreachable value as last accepted.
    RoadMapChoice choice() const;
    void setChoice(const RoadMapChoice& choice);

    // OK: kept only when the unreachable value is empty or a whole number.
    void accept() override;

private:
    void MeasureClick();
    void ChooseSpeedsClick();
    void ClearSpeedsClick();
    // Shows the units of the measure chosen, that one chosen.
    void showUnitsOf(RoadCost cost, RoadUnit unit);
    // The speeds file's name, or the default speeds; its controls only for travel time.
    void showSpeeds();

    std::unique_ptr<Ui::TRoadMapOptionsForm> ui;
    Prompts& m_prompts;
    RadioGroup* m_travelMode;
    RadioGroup* m_measure;
    RadioGroup* m_cellUnit;
    QList<QRadioButton*> m_unitButtons;
    FileDialogSettings m_getSpeedsFileName;
    RoadMapChoice m_choice;
};
