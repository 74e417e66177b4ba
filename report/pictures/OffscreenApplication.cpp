#include "report/pictures/OffscreenApplication.h"

#include <QGuiApplication>
#include <clocale>
#include <string>

namespace {

// The toolkit's notes (a missing runtime folder, font fallbacks) are not the report's: the
// command's error output stays one line per failure.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

void ensureOffscreenApplication() {
    if (QCoreApplication::instance()) {
        return;
    }
    static int argc = 3;
    static char name[] = "velmora";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, platformOption, platform, nullptr};
    qInstallMessageHandler(quiet);
    // The application object sets the process locale from the environment.
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    // Kept for the life of the process (the toolkit holds it as its instance): deleting it
    // among the static destructors at exit would race the toolkit's own clean-up.
    new QGuiApplication(argc, argv);
    std::setlocale(LC_ALL, locale.c_str());
}
