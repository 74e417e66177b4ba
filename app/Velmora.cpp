#include "app/Velmora.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontInfo>
#include <QTimer>

#include "app/AboutUnitVelmora.h"
#include "app/HintSwitch.h"
#include "loading/LoadDataVelmora.h"
#include "modify/DistSpecification.h"
#include "modify/IndivChange.h"
#include "platform/Prompts.h"
#include "platform/qt/PixelFont.h"
#include "platform/qt/WindowPlacement.h"
#include "store/DataStore.h"
#include "ui_Velmora.h"

namespace {

QFont titleFont() {
    QFont font = pixelFont(QStringLiteral("Monotype Corsiva"), 32);
    font.setBold(true);
    font.setItalic(true);
    // The calligraphic face is narrow; a stand-in needs its condensed style to fit the panel.
    if (QFontInfo(font).family() != font.family()) {
        font.setFamily(QStringLiteral("DejaVu Serif"));
        font.setStretch(QFont::Condensed);
    }
    return font;
}

}  // namespace

TVelmoraMain::TVelmoraMain(Prompts& prompts, TDataStore& store)
    : ui(std::make_unique<Ui::TVelmoraMain>()),
      m_prompts(prompts),
      m_store(store),
      m_hints(new HintSwitch(this)) {
    ui->setupUi(this);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 13));
    ui->Panel1->setFont(titleFont());
    centerOnScreen(this);
    connect(ui->AboutButton, &QPushButton::clicked, this, &TVelmoraMain::AboutButtonClick);
    connect(ui->HintShow, &QPushButton::clicked, this, &TVelmoraMain::HintShowClick);
    connect(ui->LoadData, &QPushButton::clicked, this, &TVelmoraMain::LoadDataClick);
    connect(ui->ModifyDist, &QPushButton::clicked, this, &TVelmoraMain::ModifyDistClick);
    connect(ui->SingleElement, &QPushButton::clicked, this, &TVelmoraMain::SingleElementClick);
    connect(ui->ExitVelmora, &QPushButton::clicked, this, &TVelmoraMain::ExitVelmoraClick);
    FormCreate();
}

TVelmoraMain::~TVelmoraMain() = default;

void TVelmoraMain::attachWindows(TAboutBoxVelmora* aboutBox, TIndividualChanges* individualChanges,
                                 TLoadDataVelmoraForm* loadData, TDistEquationForm* distEquation) {
    m_aboutBox = aboutBox;
    m_individualChanges = individualChanges;
    m_loadData = loadData;
    m_distEquation = distEquation;
    connect(aboutBox, &TAboutBoxVelmora::showMainWindow, this, &QWidget::show);
    connect(individualChanges, &TIndividualChanges::showMainWindow, this, &QWidget::show);
    connect(loadData, &TLoadDataVelmoraForm::showMainWindow, this, &QWidget::show);
    connect(loadData, &TLoadDataVelmoraForm::matrixCommandsEnabled, this,
            &TVelmoraMain::setMatrixCommandsEnabled);
    connect(distEquation, &TDistEquationForm::showMainWindow, this, &QWidget::show);
}

void TVelmoraMain::setMatrixCommandsEnabled(bool enabled) {
    ui->ModifyDist->setEnabled(enabled);
    ui->SingleElement->setEnabled(enabled);
}

void TVelmoraMain::FormCreate() {
    m_splash = std::make_unique<TAboutBoxVelmora>();
    m_splash->MakeSplash();
    m_splash->AboutTimer()->start();
    m_store.MatrixSaved = true;
}

void TVelmoraMain::stopAboutTimer() {
    if (m_aboutBox) {
        m_aboutBox->AboutTimer()->stop();
    }
}

void TVelmoraMain::AboutButtonClick() {
    stopAboutTimer();
    hide();
    m_aboutBox->show();
}

void TVelmoraMain::HintShowClick() {
    m_hints->setHintsShown(!m_hints->hintsShown());
    if (m_hints->hintsShown()) {
        ui->HintShowLabel->setText(QStringLiteral("Hints will be shown... Click to Hide"));
        ui->HintShowLabel->setStyleSheet(QStringLiteral("color: lime;"));
        ui->HintShow->setText(QStringLiteral("Hide &Hints"));
    } else {
        ui->HintShowLabel->setText(QStringLiteral("Hints will be hidden... Click to Show"));
        ui->HintShowLabel->setStyleSheet(QStringLiteral("color: yellow;"));
        ui->HintShow->setText(QStringLiteral("Show &Hints"));
    }
}

void TVelmoraMain::LoadDataClick() {
    stopAboutTimer();
    if (ui->ModifyDist->isEnabled()) {
        if (m_prompts.messageBox(BoxType::Confirm,
                                 "You are about to LOAD new data.\rAre you sure you want to "
                                 "delete current data and solutions?",
                                 Buttons::YesNo) != Answer::Yes) {
            return;
        }
        // The user chose to discard the matrix: the exit has nothing left to warn about.
        m_store.MatrixSaved = true;
    }
    hide();
    m_loadData->show();
}

void TVelmoraMain::ModifyDistClick() {
    m_distEquation->show();
    hide();
}

void TVelmoraMain::SingleElementClick() {
    m_individualChanges->show();
    hide();
}

void TVelmoraMain::ExitVelmoraClick() {
    stopAboutTimer();
    close();
}

void TVelmoraMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Staying on top is the window manager's work; without one the splash is raised here.
    if (m_splash && m_splash->isVisible()) {
        m_splash->raise();
    }
}

void TVelmoraMain::closeEvent(QCloseEvent* event) {
    if (!FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
    // exit, not quit: quit first asks the other windows to close, and the load dialog
    // answers a close by showing the main window again.
    QCoreApplication::exit(0);
}

bool TVelmoraMain::FormClose() {
    stopAboutTimer();
    if (!m_store.MatrixSaved) {
        m_prompts.messageBeep(NoteBeep);
        if (m_prompts.messageBox(BoxType::Warning,
                                 "Distance matrix was modified but not saved ... WARNING\r"
                                 "To save it answer YES below and then\r"
                                 "go to Modify Individual Cells and then Quit and Save Changes\r"
                                 "\r"
                                 "Do you want to save the file?",
                                 Buttons::YesNo) == Answer::Yes) {
            return false;
        }
    }
    m_prompts.messageBeep(ErrorBeep);
    if (m_prompts.messageBox(BoxType::Confirm,
                             "Thanks for using VELMORA.\rAre you sure you want to exit now?",
                             Buttons::YesNo) != Answer::Yes) {
        return false;
    }
    const int last = SmallerOf(m_store.NodeCount, MaxNodes);
    for (int i = 1; i <= last; ++i) {
        ReleaseNode(m_store, i);
    }
    m_prompts.messageBox(BoxType::Information, "Exiting VELMORA.", Buttons::Ok);
    return true;
}
