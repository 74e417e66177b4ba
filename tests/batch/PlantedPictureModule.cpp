// A picture module as another user could plant it: when loaded it leaves a mark in the current
// folder, so a test sees that code it never meant to run did run.

#include <fcntl.h>
#include <unistd.h>

#include <string>

struct Chart;

extern "C" bool velmora_chart_png(const Chart&, std::string&) {
    const int mark = ::open("planted-module-ran", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (mark >= 0) {
        ::close(mark);
    }
    return false;
}
