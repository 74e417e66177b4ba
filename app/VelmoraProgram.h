#pragma once

#include <memory>

class Prompts;
class TAboutBoxVelmora;
class TDistEquationForm;
class TIndividualChanges;
class TLoadDataVelmoraForm;
class TVelmoraMain;
struct TDataStore;

// The program's five windows, created in their fixed order: the main window (whose creation
// shows the splash), the About box, the single-cell dialog, the load dialog and the
// distance-equation dialog.
class VelmoraProgram {
public:
    VelmoraProgram(Prompts& prompts, TDataStore& store);
    ~VelmoraProgram();

    TVelmoraMain& VelmoraMain() const { return *m_main; }
    TAboutBoxVelmora& AboutBoxVelmora() const { return *m_aboutBox; }
    TIndividualChanges& IndividualChanges() const { return *m_individualChanges; }
    TLoadDataVelmoraForm& LoadDataVelmoraForm() const { return *m_loadData; }
    TDistEquationForm& DistEquationForm() const { return *m_distEquation; }

private:
    std::unique_ptr<TVelmoraMain> m_main;
    std::unique_ptr<TAboutBoxVelmora> m_aboutBox;
    std::unique_ptr<TIndividualChanges> m_individualChanges;
    std::unique_ptr<TLoadDataVelmoraForm> m_loadData;
    std::unique_ptr<TDistEquationForm> m_distEquation;
};
