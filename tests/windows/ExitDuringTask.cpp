#include <unistd.h>
#include <QApplication>
#include <QTimer>

#include "platform/qt/QtPrompts.h"

// The program exits while its task waits where no cancelling reaches: on a pipe nobody
// writes. The process must end all the same.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QtPrompts prompts;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return 2;
    }
    QTimer::singleShot(1000, [] { QCoreApplication::exit(0); });
    prompts.runTask("VELMORA Road Distances", [&](TaskProgress&) {
        char byte;
        static_cast<void>(::read(pipeEnds[0], &byte, 1));
    });
    return 3;
}
