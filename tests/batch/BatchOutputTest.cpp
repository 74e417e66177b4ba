#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/batch/BatchRun.h"

namespace {

const std::string TwoNodes = "1 0 0 1 1 1\r\n2 3 4 1 1 1\r\n";

// Runs velmora-batch in `folder` with standard output as `output` says (a shell redirection)
// and standard error kept.
Result runWithOutput(const TempDir& folder, const std::string& arguments,
                     const std::string& output) {
    const std::string command = "cd '" + folder.path() + "' && " + VELMORA_BATCH + " " + arguments +
                                " " + output + " 2>stderr.txt";
    const int raw = std::system(command.c_str());
    Result result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, "", readBytes(folder.file("stderr.txt"))};
    std::remove(folder.file("stderr.txt").c_str());
    return result;
}

}  // namespace

// What the command prints is its result: an output that could not be written is a failure,
// never success.
TEST(BatchOutput, AStandardOutputThatCannotBeWrittenIsAFailure) {
    TempDir dir;
    dir.write("d.EUC", TwoNodes);
    dir.write("in.EUD", "0\r\n5\r\n5\r\n0\r\n");
    const struct {
        std::string output;
        std::string reason;
    } outputs[] = {{">/dev/full", "No space left on device"}, {">&-", "Bad file descriptor"}};
    for (const auto& [output, reason] : outputs) {
        for (const std::string arguments :
             {"report --demand d.EUC --metric euclidean --coverage 5",
              "report --demand d.EUC --metric euclidean --coverage 5 --json",
              "transform --demand d.EUC --in in.EUD --out o.EUD --coverage 5", "--version",
              "check --help"}) {
            const Result result = runWithOutput(dir, arguments, output);
            EXPECT_EQ(result.status, 1) << arguments << " " << output;
            EXPECT_EQ(result.err,
                      "velmora-batch: cannot write to standard output: " + reason + "\n")
                << arguments << " " << output;
        }
    }
    // The scaling reports come first: without them the file is not written.
    EXPECT_EQ(folderListing(dir.path()), "d.EUC\nin.EUD\n");
    const Result failed = runWithOutput(dir, "check --demand none.EUC --in in.EUD", ">/dev/full");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(std::count(failed.err.begin(), failed.err.end(), '\n'), 1) << failed.err;
    const Result silent = runWithOutput(dir, "check --demand d.EUC --in in.EUD", ">/dev/full");
    EXPECT_EQ(silent.status, 0) << silent.err;
}
