#include <QIcon>

#include "app/Velmora.h"
#include "app/VelmoraApplication.h"
#include "app/VelmoraProgram.h"
#include "platform/qt/QtPrompts.h"
#include "store/DataStore.h"

int main(int argc, char** argv) {
    QtPrompts prompts;
    VelmoraApplication application(argc, argv, prompts);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    VelmoraProgram program(prompts, DataStore);
    program.VelmoraMain().show();
    return application.exec();
}
