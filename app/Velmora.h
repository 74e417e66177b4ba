#pragma once

// The main window: a menu of six buttons that opens the About box, switches tool-tip hints,
// opens the load dialog, the distance-equation dialog and the single-cell dialog, and guards
// the exit. At any moment either it or one of those windows is up: it hides while another
// window is in use, and that window hands control back through its showMainWindow signal.

#include <QWidget>
#include <memory>

class HintSwitch;
class Prompts;
class TAboutBoxVelmora;
class TDistEquationForm;
class TIndividualChanges;
class TLoadDataVelmoraForm;
struct TDataStore;
namespace Ui {
class TVelmoraMain;
}

class TVelmoraMain : public QWidget {
    Q_OBJECT
public:
    TVelmoraMain(Prompts& prompts, TDataStore& store);
    ~TVelmoraMain() override;

    // The four windows created after this one, in the order of creation.
    void attachWindows(TAboutBoxVelmora* aboutBox, TIndividualChanges* individualChanges,
                       TLoadDataVelmoraForm* loadData, TDistEquationForm* distEquation);

    TAboutBoxVelmora* splash() const { return m_splash.get(); }
    HintSwitch* hints() const { return m_hints; }

    // The sign that a problem is loaded: both matrix buttons.
    void setMatrixCommandsEnabled(bool enabled);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void AboutButtonClick();
    void HintShowClick();
    void LoadDataClick();
    void ModifyDistClick();
    void SingleElementClick();
    void ExitVelmoraClick();
    bool FormClose();
    void stopAboutTimer();

    std::unique_ptr<Ui::TVelmoraMain> ui;
    Prompts& m_prompts;
    TDataStore& m_store;
    HintSwitch* m_hints;
    std::unique_ptr<TAboutBoxVelmora> m_splash;
    TAboutBoxVelmora* m_aboutBox = nullptr;
    TIndividualChanges* m_individualChanges = nullptr;
    TLoadDataVelmoraForm* m_loadData = nullptr;
    TDistEquationForm* m_distEquation = nullptr;
};
