#pragma once

#include <string>
#include <vector>

#include "batch/BatchCommands.h"

#include "tests/support/TestFiles.h"

struct Result {
    int status;
    std::string out;
    std::string err;
};

// Runs velmora-batch in `folder` with the arguments as a shell would pass them, through
// `launcher` when one is given.
Result run(const TempDir& folder, const std::string& arguments, const std::string& launcher = "");

// Runs the command line in this process (the program's name first) with these actions and
// `pictures` as the painter.
Result runHere(std::vector<std::string> arguments, const batch::Actions& actions = {},
               ChartRenderer* pictures = nullptr);
