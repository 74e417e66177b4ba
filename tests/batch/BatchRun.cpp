#include "tests/batch/BatchRun.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

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

Result runHere(std::vector<std::string> arguments, const batch::Actions& actions,
               ChartRenderer* pictures) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    std::ostringstream out;
    std::ostringstream err;
    batch::Console console{out, err, {}};
    const int status =
        batch::run(static_cast<int>(argv.size()), argv.data(), console, actions, pictures);
    return {status, out.str(), err.str()};
}
