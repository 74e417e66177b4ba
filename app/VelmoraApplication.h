#pragma once

#include <QApplication>
#include <string>

class Prompts;

// The application object: every event runs inside it, so a run-time error that abandons a
// handler is caught here and shown in the application's error box; the program goes on
// with the state the handler had reached.
class VelmoraApplication : public QApplication {
    Q_OBJECT
public:
    VelmoraApplication(int& argc, char** argv, Prompts& prompts);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void showError(const std::string& message);

    Prompts& m_prompts;
    bool m_showingError = false;
};
