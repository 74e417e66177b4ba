#include "app/ApplicationIcon.h"
#include "app/Velmora.h"
#include "app/VelmoraApplication.h"
#include "app/VelmoraProgram.h"
#include "platform/qt/EventTrace.h"
#include "platform/qt/QtPrompts.h"
#include "store/DataStore.h"

int main(int argc, char** argv) {
    QtPrompts prompts;
    VelmoraApplication application(argc, argv, prompts);
    const auto trace = EventTrace::fromEnvironment();
    if (trace) {
        application.installEventFilter(trace.get());
    }
    QApplication::setWindowIcon(applicationIcon());
    // Lets desktops match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    VelmoraProgram program(prompts, DataStore);
    program.VelmoraMain().show();
    return application.exec();
}
