#include "app/VelmoraApplication.h"

#include <exception>
#include <new>

#include "platform/Prompts.h"
#include "platform/RunTimeError.h"

VelmoraApplication::VelmoraApplication(int& argc, char** argv, Prompts& prompts)
    : QApplication(argc, argv), m_prompts(prompts) {
    setApplicationName(QString::fromLatin1(ApplicationTitle));
    // The program ends only when the main window closes, never because the last visible
    // window happened to be a dialog or a file dialog.
    setQuitOnLastWindowClosed(false);
}

bool VelmoraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        showError("Out of memory");
    } catch (const RunTimeError& error) {
        showError(error.message());
    } catch (const std::exception& error) {
        showError(error.what());
    }
    return true;
}

void VelmoraApplication::showError(const std::string& message) {
    // An error raised while its own box is up must not stack boxes without end.
    if (m_showingError) {
        return;
    }
    m_showingError = true;
    m_prompts.messageBox(BoxType::Application, errorBoxText(message), Buttons::Ok);
    m_showingError = false;
}
