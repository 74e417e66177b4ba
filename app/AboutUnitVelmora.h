#pragma once

#include <QString>
#include <QWidget>
#include <memory>

class QTimer;
namespace Ui {
class TAboutBoxVelmora;
}

// The About box; a second instance serves as the start-up splash. Both show the version
// read from the program file's own version record.
class TAboutBoxVelmora : public QWidget {
    Q_OBJECT
public:
    explicit TAboutBoxVelmora(QWidget* parent = nullptr);
    ~TAboutBoxVelmora() override;

    // Hides the OK button, keeps the window above all others, shows and paints it at once.
    void MakeSplash();
    QTimer* AboutTimer() const { return m_aboutTimer; }

    // The file whose version record is shown; the running program's own by default.
    void setProgramFile(const QString& path) { m_programFile = path; }

signals:
    void showMainWindow();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void AboutTimerTimer();
    void OKButtonClick();
    void closeItself();

    std::unique_ptr<Ui::TAboutBoxVelmora> ui;
    QTimer* m_aboutTimer;
    QString m_programFile;
    bool m_closingItself = false;
};

// Words for the build flags set in both the flags and the mask: " Debug Beta" and so on.
QString versionPropertyWords(uint32_t flags, uint32_t flagsMask);
