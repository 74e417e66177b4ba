#include "app/AboutUnitVelmora.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShowEvent>
#include <QTimer>

#include "platform/VersionInfo.h"
#include "platform/qt/WindowPlacement.h"
#include "platform/qt/WindowRoles.h"
#include "ui_AboutUnitVelmora.h"

TAboutBoxVelmora::TAboutBoxVelmora(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TAboutBoxVelmora>()),
      m_aboutTimer(new QTimer(this)),
      m_programFile(QCoreApplication::applicationFilePath()) {
    ui->setupUi(this);
    announceAsDialog(this);
    setFixedSize(size());
    centerOnScreen(this);
    m_aboutTimer->setObjectName(QStringLiteral("AboutTimer"));
    m_aboutTimer->setInterval(1500);
    connect(m_aboutTimer, &QTimer::timeout, this, &TAboutBoxVelmora::AboutTimerTimer);
    connect(ui->OKButton, &QPushButton::clicked, this, &TAboutBoxVelmora::OKButtonClick);
    m_aboutTimer->start();
}

TAboutBoxVelmora::~TAboutBoxVelmora() = default;

void TAboutBoxVelmora::MakeSplash() {
    ui->OKButton->hide();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
    repaint();
}

void TAboutBoxVelmora::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TAboutBoxVelmora::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    // Closed from outside (the window manager) rather than by OK or the timer: leave as OK
    // does, or no window would be left on screen.
    if (!m_closingItself) {
        emit showMainWindow();
    }
}

void TAboutBoxVelmora::closeItself() {
    m_closingItself = true;
    close();
    m_closingItself = false;
}

void TAboutBoxVelmora::FormShow() {
    const auto info = readFixedFileInfo(m_programFile.toStdString());
    if (!info) {
        return;
    }
    ui->Version->setText(QStringLiteral("Version ") +
                         QString::fromStdString(fileVersionText(*info)));
    ui->PropertyLabel->setText(versionPropertyWords(info->dwFileFlags, info->dwFileFlagsMask));
}

void TAboutBoxVelmora::AboutTimerTimer() {
    ui->OKButton->show();
    closeItself();
}

void TAboutBoxVelmora::OKButtonClick() {
    emit showMainWindow();
    closeItself();
}

QString versionPropertyWords(uint32_t flags, uint32_t flagsMask) {
    const uint32_t set = flags & flagsMask;
    QString words;
    if (set & VS_FF_DEBUG) {
        words += QStringLiteral(" Debug");
    }
    if (set & VS_FF_PRERELEASE) {
        words += QStringLiteral(" Beta");
    }
    if (set & VS_FF_PRIVATEBUILD) {
        words += QStringLiteral(" Private");
    }
    if (set & VS_FF_SPECIALBUILD) {
        words += QStringLiteral(" Special");
    }
    return words;
}
