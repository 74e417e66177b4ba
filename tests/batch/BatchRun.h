#pragma once

#include <string>

#include "tests/support/TestFiles.h"

struct Result {
    int status;
    std::string out;
    std::string err;
};

// Runs velmora-batch in `folder` with the arguments as a shell would pass them, through
// `launcher` when one is given.
Result run(const TempDir& folder, const std::string& arguments, const std::string& launcher = "");
