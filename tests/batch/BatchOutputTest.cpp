#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "batch/Printable.h"
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

// Escapes for what would drive the terminal or hide what is shown; everything else, other
// scripts and symbols included, as it is.
TEST(BatchOutput, ControlsBidirectionalControlsAndInvalidBytesAreEscaped) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"plain.EUD", "plain.EUD"},
        {"a\nb\rc\td", "a\\nb\\rc\\td"},
        {std::string("nul\0", 4) + "\x1b[2J\x7f", "nul\\x00\\x1B[2J\\x7F"},
        {"csi\xc2\x9b"
         "31m",
         "csi\\u009B31m"},
        {"osc\xc2\x9d"
         "0;title\xc2\x9c",
         "osc\\u009D0;title\\u009C"},
        {"pad\xc2\x80", "pad\\u0080"},
        {"apc\xc2\x9f"
         "x",
         "apc\\u009Fx"},
        {"nbsp\xc2\xa0ok", "nbsp\xc2\xa0ok"},
        {"txt.\xe2\x80\xae"
         "EXE",
         "txt.\\u202EEXE"},
        {"\xe2\x80\xaa\xe2\x80\xab\xe2\x80\xac\xe2\x80\xad", "\\u202A\\u202B\\u202C\\u202D"},
        {"\xe2\x81\xa6\xe2\x81\xa7\xe2\x81\xa8\xe2\x81\xa9", "\\u2066\\u2067\\u2068\\u2069"},
        {"\xe2\x80\x8e\xe2\x80\x8f\xd8\x9c", "\\u200E\\u200F\\u061C"},
        {"caf\xc3\xa9 \xe6\x9d\xb1\xe4\xba\xac \xf0\x9f\x97\xba",
         "caf\xc3\xa9 \xe6\x9d\xb1\xe4\xba\xac \xf0\x9f\x97\xba"},
        {"lone\x9b", "lone\\x9B"},
        {"\xff\xfe", "\\xFF\\xFE"},
        {"overlong\xc0\xaf\xe0\x9f\xbf\xe0\x82\x80",
         "overlong\\xC0\\xAF\\xE0\\x9F\\xBF\\xE0\\x82\\x80"},
        {"lead\xc3\xc3\xa9", "lead\\xC3\xc3\xa9"},
        {"surrogate\xed\xa0\x80", "surrogate\\xED\\xA0\\x80"},
        {"beyond\xf4\x90\x80\x80", "beyond\\xF4\\x90\\x80\\x80"},
        {"cut\xe2\x80", "cut\\xE2\\x80"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(batch::printable(text), shown) << shown;
    }
}
