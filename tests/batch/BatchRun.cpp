#include "tests/batch/BatchRun.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

Result run(const TempDir& folder, const std::string& arguments, const std::string& launcher) {
    const std::string command = "cd '" + folder.path() + "' && " + launcher + VELMORA_BATCH + " " +
                                arguments + " >stdout.txt 2>stderr.txt";
    const int raw = std::system(command.c_str());
    Result result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readBytes(folder.file("stdout.txt")),
                  readBytes(folder.file("stderr.txt"))};
    std::remove(folder.file("stdout.txt").c_str());
    std::remove(folder.file("stderr.txt").c_str());
    return result;
}
