#include "app/VelmoraProgram.h"

#include "app/AboutUnitVelmora.h"
#include "app/Velmora.h"
#include "loading/LoadDataVelmora.h"
#include "modify/DistSpecification.h"
#include "modify/IndivChange.h"
#include "platform/qt/WindowRoles.h"

VelmoraProgram::VelmoraProgram(Prompts& prompts, TDataStore& store)
    : m_main(std::make_unique<TVelmoraMain>(prompts, store)),
      m_aboutBox(std::make_unique<TAboutBoxVelmora>()),
      m_individualChanges(std::make_unique<TIndividualChanges>(prompts, store)),
      m_loadData(std::make_unique<TLoadDataVelmoraForm>(prompts, store)),
      m_distEquation(std::make_unique<TDistEquationForm>(prompts, store)) {
    installWindowRoles();
    m_main->attachWindows(m_aboutBox.get(), m_individualChanges.get(), m_loadData.get(),
                          m_distEquation.get());
}

VelmoraProgram::~VelmoraProgram() = default;
