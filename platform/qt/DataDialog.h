#pragma once

// The base of the windows the main window hands control to (load data, distance equations,
// single cells): a fixed-size window in the middle of the screen, with a title bar but no
// title-bar buttons, that hands control back by showing the main window when it is left.

#include <QWidget>

class DataDialog : public QWidget {
    Q_OBJECT
signals:
    void showMainWindow();

protected:
    DataDialog();

    // Fixes the window at the size its form gave it and centres it; for after setupUi.
    void fixSizeAndCentre();
    // Runs each time the program shows the window, not when the desktop shows it again.
    virtual void formShown() = 0;
    void leaveDialog();

    void showEvent(QShowEvent* event) override;
    // Left only through its own buttons.
    void closeEvent(QCloseEvent* event) override;
};
