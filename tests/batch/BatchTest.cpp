#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "batch/BatchCommands.h"
#include "loading/DataLoad.h"
#include "store/DistanceFile.h"
#include "tests/batch/BatchRun.h"
#include "tests/support/TestFiles.h"

namespace {

const std::string ThreeNodes =
    "1 -71.06 42.36 10 0 1 Boston\r\n2 2.35 48.86 5 0 1\r\n"
    "3 139.69 35.68 7 0 1\r\n";

}  // namespace

TEST(BatchCompute, WritesTheBytesTheProgramWrites) {
    TempDir dir;
    dir.write("d.GRT", ThreeNodes);
    dir.write("s.GRT", "1 0 0 x x 1\r\n");
    const Result result =
        run(dir, "compute --metric great-circle --demand d.GRT --candidates s.GRT --out out.GRD");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    TDataStore store;
    store.MetricCode = 'G';
    ASSERT_TRUE(loadProblem(store, {dir.file("d.GRT"), dir.file("s.GRT"), ""}, '.').loaded());
    EXPECT_EQ(readBytes(dir.file("out.GRD")), formatDistanceFile(store, 4));
    EXPECT_NEAR(store.DistanceMatrix[1][2], 3440, 10);
}

TEST(BatchCompute, EuclideanTwoNodes) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 1 1 1\r\n2 3 4 1 1 1\r\n");
    const Result result = run(dir, "compute --metric euclidean --demand d.EUC --out d.EUD");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readBytes(dir.file("d.EUD")), "0\r\n5\r\n5\r\n0\r\n");
}

TEST(BatchCompute, BadInputNamesFileAndLineAndLeavesTheOldOutput) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 1 1 1\r\n2 3 four 1 1 1\r\n");
    dir.write("out.EUD", "old\r\n");
    const Result result = run(dir, "compute --metric euclidean --demand d.EUC --out out.EUD");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "velmora-batch: d.EUC:2: 'four' is not a valid floating point value\n");
    EXPECT_EQ(readBytes(dir.file("out.EUD")), "old\r\n");
    EXPECT_EQ(folderListing(dir.path()), "d.EUC\nout.EUD\n");
}

TEST(BatchCompute, TooManyNodesAndMissingFilesAreBadInput) {
    TempDir dir;
    std::string many;
    for (int i = 0; i < 902; ++i) {
        many += "1 0 0 1 1 1\r\n";
    }
    dir.write("many.EUC", many);
    const Result tooMany = run(dir, "compute --metric euclidean --demand many.EUC --out o.EUD");
    EXPECT_EQ(tooMany.status, 1);
    EXPECT_EQ(tooMany.err, "velmora-batch: many.EUC:902: Range check error\n");
    const Result missing = run(dir, "compute --metric manhattan --demand none.MAN --out o.MAD");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("none.MAN"), std::string::npos) << missing.err;
    EXPECT_EQ(folderListing(dir.path()), "many.EUC\n");
}

TEST(BatchCompute, OutputThatCannotBeCreatedIsBadInput) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 1 1 1\r\n");
    const Result result = run(dir, "compute --metric euclidean --demand d.EUC --out no/such.EUD");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("no/such.EUD"), std::string::npos) << result.err;
}

TEST(BatchUsage, MistakesAreUsageErrorsAndHelpIsSuccess) {
    TempDir dir;
    EXPECT_EQ(run(dir, "").status, 2);
    EXPECT_EQ(run(dir, "compute --demand d.EUC --out o.EUD").status, 2);
    EXPECT_EQ(run(dir, "compute --metric network --demand d.EUC --out o.EUD").status, 2);
    EXPECT_EQ(run(dir, "frobnicate").status, 2);
    EXPECT_EQ(run(dir, "transform --demand d --in i --out o --coverage x").status, 2);
    EXPECT_EQ(run(dir, "transform --demand d --in i --out o --coverage 5 --scale -1").status, 2);
    for (const char* verb : {"", "compute ", "check ", "transform "}) {
        const Result help = run(dir, std::string(verb) + "--help");
        EXPECT_EQ(help.status, 0) << verb;
        EXPECT_NE(help.out.find("--"), std::string::npos) << verb;
    }
}

TEST(BatchCheck, FitsAndReadsOrSaysWhyNot) {
    TempDir dir;
    dir.write("d.NET", "1 0 0 1 1 1\r\n2 0 0 1 1 1\r\n");
    dir.write("s.NET", "1 0 0 x x 1\r\n");
    std::string nine;
    for (int i = 0; i < 9; ++i) {
        nine += std::to_string(i) + "\r\n";
    }
    dir.write("nine.NED", nine);
    dir.write("eight.NED", nine.substr(0, nine.size() - 3));
    dir.write("ten.NED", nine + "9\r\n");
    dir.write("bad.NED", "0\r\n1\r\n2\r\n3\r\nx\r\n5\r\n6\r\n7\r\n8\r\n");
    EXPECT_EQ(run(dir, "check --demand d.NET --candidates s.NET --in nine.NED").status, 0);
    const Result eight = run(dir, "check --demand d.NET --candidates s.NET --in eight.NED");
    EXPECT_EQ(eight.status, 1);
    EXPECT_EQ(eight.err,
              "velmora-batch: eight.NED: Number of Distances Incompatible with Input Files (3 "
              "nodes need 9 lines, the file has 8)\n");
    // A line beyond the nine is refused too, though the read would never reach it.
    const Result ten = run(dir, "check --demand d.NET --candidates s.NET --in ten.NED");
    EXPECT_EQ(ten.status, 1);
    EXPECT_EQ(ten.err,
              "velmora-batch: ten.NED: Number of Distances Incompatible with Input Files (3 "
              "nodes need 9 lines, the file has 10)\n");
    const Result bad = run(dir, "check --demand d.NET --candidates s.NET --in bad.NED");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err,
              "velmora-batch: bad.NED:5: Number of Distances Incompatible with Input Files\n");
}

TEST(BatchTransform, ReportsScalingAndRecordsAndWritesTheMatrix) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 1 1 1\r\n2 0 0 1 1 1\r\n");
    dir.write("in.EUD", "0\r\n20000\r\n5000\r\n0\r\n");
    const Result result =
        run(dir, "transform --demand d.EUC --in in.EUD --out out.EUD --coverage 0");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "<<< DISTANCES WILL BE SCALED SO MAXIMUM DISTANCE = 10,000.0 >>>\n"
              "<<< File [" +
                  dir.file("out.EUD") + "] successfully written with 4 records >>>\n");
    EXPECT_EQ(readBytes(dir.file("out.EUD")), "0\r\n10000\r\n2500\r\n0\r\n");
}

TEST(BatchTransform, EquationsAndNoScaling) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 1 1 1\r\n2 0 0 1 1 1\r\n");
    dir.write("in.EUD", "0\r\n1000000\r\n300000\r\n0\r\n");
    const Result result = run(dir,
                              "transform --demand d.EUC --in in.EUD --out out.EUD --coverage "
                              "2000000000 --equation 1=0,1,2 --equation 0=3,1,1 --no-scale");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "<<< DISTANCES SHOULD BE SCALED SO MAXIMUM DISTANCE = 10,000.0 >>>\n"
              "<<< BUT YOU REQUESTED NO SCALING SO THEY WILL NOT BE SCALED >>>\n"
              "<<< DISTANCES MUST BE SCALED SO MAXIMUM DISTANCE = 2,147,483,646.0 >>>\n"
              "<<< File [" +
                  dir.file("out.EUD") + "] successfully written with 4 records >>>\n");
    // The diagonal's 3 is scaled to 0; 0.3 squared of 2,147,483,646 is 193,273,528.14.
    EXPECT_EQ(readBytes(dir.file("out.EUD")), "0\r\n2147483646\r\n193273528\r\n0\r\n");
}

TEST(BatchTransform, RangesAndNegativeDistancesAreRefused) {
    TempDir dir;
    dir.write("d.EUC", "1 0 0 1 1 1\r\n2 0 0 1 1 1\r\n");
    dir.write("in.EUD", "0\r\n-4\r\n5\r\n0\r\n");
    const std::string base = "transform --demand d.EUC --in in.EUD --out out.EUD --coverage 5 ";
    const Result exponent = run(dir, base + "--equation 2=0,1,11");
    EXPECT_EQ(exponent.status, 2);
    EXPECT_EQ(exponent.err,
              "velmora-batch: --equation 2=0,1,11: the exponent must lie from -10 to 10\n");
    EXPECT_EQ(run(dir, base + "--equation 4=0,1,1").status, 2);
    EXPECT_EQ(run(dir, base + "--equation 0=-1,1,1").status, 2);
    EXPECT_EQ(run(dir, base + "--equation 0=1,1").status, 2);
    const Result negative = run(dir, base);
    EXPECT_EQ(negative.status, 1);
    EXPECT_NE(negative.err.find("row 2, column 1"), std::string::npos) << negative.err;
    EXPECT_EQ(folderListing(dir.path()), "d.EUC\nin.EUD\n");
}

TEST(BatchRobustness, StrangeInputGivesOneLineNeverACrash) {
    TempDir dir;
    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary += static_cast<char>((i * 7919) % 256);
    }
    dir.write("binary.EUC", binary);
    dir.write("nul.EUC", std::string("1 0\0 0 1 1 1\r\n", 14));
    dir.write("huge.EUC", "1 1e999999 0 1 1 1\r\n");
    std::string longLine;
    for (int i = 0; i < 4'000'000; ++i) {
        longLine += "1 2 3 4 5 6\n";
    }
    dir.write("long.EUC", longLine);
    std::filesystem::create_directory(dir.file("folder.EUC"));
    for (const char* file : {"binary.EUC", "nul.EUC", "huge.EUC", "long.EUC", "folder.EUC"}) {
        const Result result =
            run(dir, std::string("compute --metric euclidean --demand ") + file + " --out o.EUD");
        EXPECT_EQ(result.status, 1) << file << ": " << result.err;
        EXPECT_EQ(result.err.rfind(std::string("velmora-batch: ") + file, 0), 0u) << result.err;
        EXPECT_LT(result.err.size(), 400u) << file;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.EUD")));
}

TEST(BatchRobustness, ADistanceFileWithHugeValuesOrJunkIsRefusedAtItsLine) {
    TempDir dir;
    dir.write("d.NET", "1 0 0 1 1 1\r\n2 0 0 1 1 1\r\n");
    dir.write("big.NED", "0\r\n99999999999999999999999\r\n1\r\n0\r\n");
    dir.write("junk.NED", std::string("0\r\n\x01\x02\r\n1\r\n0\r\n"));
    const Result big = run(dir, "check --demand d.NET --in big.NED");
    EXPECT_EQ(big.err,
              "velmora-batch: big.NED:2: Number of Distances Incompatible with Input Files\n");
    const Result junk = run(dir, "check --demand d.NET --in junk.NED");
    EXPECT_EQ(junk.err,
              "velmora-batch: junk.NED:2: Number of Distances Incompatible with Input Files\n");
}

namespace {

const std::string TwoNodes = "1 0 0 1 1 1\r\n2 3 4 1 1 1\r\n";
const std::string FourValues = "0\r\n5\r\n5\r\n0\r\n";

// 901 nodes spread over the plane: the largest matrix, so writing is a long part of a run.
std::string fullNodeFile() {
    std::string text;
    for (int i = 1; i <= 901; ++i) {
        text += std::to_string(i) + " " + std::to_string((i * 37) % 360 - 180) + " " +
                std::to_string((i * 11) % 170 - 85) + " 1 1 1\r\n";
    }
    return text;
}

// Starts velmora-batch with its output thrown away; returns its process id.
pid_t start(const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(VELMORA_BATCH)};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawn(&pid, VELMORA_BATCH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits for every process that was left to this one.
void waitForOrphans() {
    while (waitpid(-1, nullptr, 0) > 0) {
    }
}

}  // namespace

TEST(BatchInput, EmptyNodeFilesAreBadInputAndNothingIsWritten) {
    TempDir dir;
    dir.write("empty.EUC", "");
    dir.write("d.EUC", TwoNodes);
    dir.write("none.EUD", "");
    dir.write("four.EUD", FourValues);
    dir.write("nine.EUD", FourValues + FourValues + "0\r\n");
    dir.write("out.EUD", "old\r\n");
    const std::string listing = folderListing(dir.path());
    // With a distance file that fits no node count, the empty node file is still the fault.
    for (const char* arguments :
         {"compute --metric euclidean --demand empty.EUC --out out.EUD",
          "compute --metric manhattan --demand d.EUC --candidates empty.EUC --out out.EUD",
          "check --demand empty.EUC --in none.EUD",
          "transform --demand empty.EUC --in none.EUD --out out.EUD --coverage 0",
          "check --demand empty.EUC --in four.EUD",
          "check --demand d.EUC --candidates empty.EUC --in nine.EUD",
          "report --demand empty.EUC --in four.EUD --coverage 0",
          "transform --demand empty.EUC --in four.EUD --out out.EUD --coverage 0"}) {
        const Result result = run(dir, arguments);
        EXPECT_EQ(result.status, 1) << arguments;
        EXPECT_EQ(result.err, "velmora-batch: empty.EUC: No nodes in file \"empty.EUC\"\n")
            << arguments;
        EXPECT_EQ(result.out, "") << arguments;
    }
    EXPECT_EQ(readBytes(dir.file("out.EUD")), "old\r\n");
    EXPECT_EQ(folderListing(dir.path()), listing);
}

TEST(BatchUsage, AnEmptyFileNameIsAUsageErrorBeforeAnythingIsTouched) {
    TempDir dir;
    dir.write("d.EUC", TwoNodes);
    dir.write("in.EUD", FourValues);
    dir.write("out.EUD", "old\r\n");
    const std::string listing = folderListing(dir.path());
    struct Verb {
        std::string name;
        std::vector<std::pair<std::string, std::string>> options;
    };
    const Verb verbs[] = {
        {"compute --metric euclidean",
         {{"--demand", "d.EUC"}, {"--candidates", "d.EUC"}, {"--out", "out.EUD"}}},
        {"check", {{"--demand", "d.EUC"}, {"--candidates", "d.EUC"}, {"--in", "in.EUD"}}},
        {"transform --coverage 0",
         {{"--demand", "d.EUC"},
          {"--candidates", "d.EUC"},
          {"--in", "in.EUD"},
          {"--out", "out.EUD"}}},
    };
    for (const Verb& verb : verbs) {
        for (const auto& [emptied, unused] : verb.options) {
            std::string arguments = verb.name;
            for (const auto& [option, value] : verb.options) {
                arguments += " " + option + " " + (option == emptied ? "''" : value);
            }
            const Result result = run(dir, arguments);
            EXPECT_EQ(result.status, 2) << arguments;
            EXPECT_EQ(result.err.rfind(
                          "velmora-batch: " + emptied + ": a file name cannot be empty\n", 0),
                      0u)
                << arguments << ": " << result.err;
        }
    }
    EXPECT_EQ(readBytes(dir.file("out.EUD")), "old\r\n");
    EXPECT_EQ(folderListing(dir.path()), listing);
}

TEST(BatchUsage, VersionComesFromTheRecordTheProgramFileCarries) {
    TempDir dir;
    const Result version = run(dir, "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "velmora-batch " VELMORA_VERSION "\n");
    EXPECT_EQ(version.err, "");
}

TEST(BatchLastResort, AnExceptionThatEscapesIsOneLineAndBadInput) {
    std::ostringstream err;
    EXPECT_EQ(batch::lastResort(err, [] { return 2; }), 2);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(batch::lastResort(err, []() -> int { throw std::logic_error("bad\nthing"); }), 1);
    EXPECT_EQ(batch::lastResort(
                  err, []() -> int { throw ConversionError(std::string("'a") + '\0' + "b'"); }),
              1);
    EXPECT_EQ(batch::lastResort(err, []() -> int { throw 7; }), 1);
    EXPECT_EQ(err.str(),
              "velmora-batch: bad\\nthing\n"
              "velmora-batch: 'a\\x00b'\n"
              "velmora-batch: unexpected failure\n");
}

TEST(BatchTransform, TheRecordsLineEscapesControlCharactersInTheName) {
    TempDir dir;
    dir.write("d.EUC", TwoNodes);
    dir.write("in.EUD", FourValues);
    const std::string name = "o\x1b[7m\t.EUD";
    const Result result =
        run(dir, "transform --demand d.EUC --in in.EUD --coverage 0 --out '" + name + "'");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readBytes(dir.file(name)), FourValues);
    const std::string records =
        "<<< File [" + dir.path() + "/o\\x1B[7m\\t.EUD] successfully written with 4 records >>>\n";
    ASSERT_GE(result.out.size(), records.size());
    EXPECT_EQ(result.out.substr(result.out.size() - records.size()), records);
}

TEST(BatchRobustness, AnOutputThatCannotBeReplacedIsReportedUnderItsOwnName) {
    TempDir dir;
    dir.write("d.EUC", TwoNodes);
    dir.write("in.EUD", FourValues);
    const std::string out = dir.write("out.EUD", "old\r\n");
    ASSERT_EQ(chmod(out.c_str(), 0444), 0);
    for (const char* arguments :
         {"compute --metric euclidean --demand d.EUC --out out.EUD",
          "transform --demand d.EUC --in in.EUD --out out.EUD --coverage 0"}) {
        const Result result = run(dir, arguments);
        EXPECT_EQ(result.status, 1) << arguments;
        EXPECT_EQ(result.err,
                  "velmora-batch: out.EUD: Cannot create file \"out.EUD\": Permission denied\n")
            << arguments;
    }
    EXPECT_EQ(readBytes(out), "old\r\n");
}

TEST(BatchRobustness, AFieldWithANulIsReportedWhole) {
    TempDir dir;
    dir.write("nul.EUC", std::string("1 0\0x 0 1 1 1\r\n", 16));
    const Result result = run(dir, "compute --metric euclidean --demand nul.EUC --out o.EUD");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "velmora-batch: nul.EUC:1: '0\\x00x' is not a valid floating point value\n");
}

TEST(BatchRobustness, EndlessInputIsRefusedAtOnce) {
    TempDir dir;
    dir.write("d.NET", TwoNodes);
    const Result demand = run(dir, "compute --metric euclidean --demand /dev/zero --out o.EUD");
    EXPECT_EQ(demand.status, 1);
    EXPECT_EQ(demand.err,
              "velmora-batch: /dev/zero:1: Cannot read file \"/dev/zero\": line 1 is too long\n");
    const Result distances = run(dir, "check --demand d.NET --in /dev/zero");
    EXPECT_EQ(distances.status, 1);
    EXPECT_EQ(distances.err, demand.err);
    EXPECT_EQ(folderListing(dir.path()), "d.NET\n");
}

// The kernel's own protection of shared folders may be off (as in many containers); the
// writer must not depend on it. Needs root to act as two other users.
TEST(BatchSafety, ALinkPlantedByAnotherUserInASharedFolderIsNotFollowed) {
    if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0) {
        GTEST_SKIP() << "needs root and setpriv";
    }
    constexpr uid_t Nobody = 65534;
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    dir.write("d.EUC", TwoNodes);
    ASSERT_EQ(chmod(dir.file("d.EUC").c_str(), 0644), 0);
    const std::string shared = dir.file("shared");
    ASSERT_EQ(mkdir(shared.c_str(), 0), 0);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    // A file of the user's own that the planted link aims at.
    const std::string own = dir.file("own");
    ASSERT_EQ(mkdir(own.c_str(), 0755), 0);
    const std::string victim = dir.write("own/victim.EUD", "precious\r\n");
    ASSERT_EQ(chown(own.c_str(), Nobody, Nobody), 0);
    ASSERT_EQ(chown(victim.c_str(), Nobody, Nobody), 0);
    const std::string planted = shared + "/out.EUD";
    ASSERT_EQ(symlink(victim.c_str(), planted.c_str()), 0);
    ASSERT_EQ(lchown(planted.c_str(), 4321, 4321), 0);

    const Result result = run(dir, "compute --metric euclidean --demand d.EUC --out shared/out.EUD",
                              "setpriv --reuid=65534 --regid=65534 --clear-groups ");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "velmora-batch: shared/out.EUD: Cannot create file \"shared/out.EUD\": a symbolic "
              "link that belongs to another user\n");
    EXPECT_EQ(readBytes(victim), "precious\r\n");
    struct stat status {};
    ASSERT_EQ(lstat(planted.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(folderListing(shared), "out.EUD\n");
    EXPECT_EQ(folderListing(own), "victim.EUD\n");
}

TEST(BatchSafety, KillsAtAnyMomentLeaveTheOldOrTheNewFileAndNoTemporary) {
    // A process the killed one left running (to finish putting the file in place) comes to
    // this one, which waits for it before looking.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    TempDir dir;
    const std::string demand = dir.write("d.EUC", fullNodeFile());
    const std::string out = dir.file("out.EUD");
    const std::vector<std::string> arguments{"compute", "--metric", "euclidean", "--demand",
                                             demand,    "--out",    out};
    // The kills are spread over the shortest of three whole runs: on a busy machine one run
    // can take far longer than the next, and kills after the end prove nothing.
    auto whole = std::chrono::steady_clock::duration::max();
    int status = 0;
    for (int run = 0; run < 3; ++run) {
        const auto began = std::chrono::steady_clock::now();
        waitpid(start(arguments), &status, 0);
        whole = std::min(whole, std::chrono::steady_clock::now() - began);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string complete = readBytes(out);
    const std::string old = "old\r\n";

    constexpr int Kills = 64;
    int killedWhileRunning = 0;
    for (int k = 0; k < Kills; ++k) {
        // Every other run replaces an old file, the others write a new one.
        if (k % 2 == 0) {
            dir.write("out.EUD", old);
        } else {
            std::filesystem::remove(out);
        }
        const pid_t pid = start(arguments);
        std::this_thread::sleep_for(whole * k / Kills);
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        killedWhileRunning += WIFSIGNALED(status) ? 1 : 0;
        waitForOrphans();
        const std::string listing = folderListing(dir.path());
        ASSERT_TRUE(listing == "d.EUC\nout.EUD\n" || (k % 2 == 1 && listing == "d.EUC\n"))
            << "kill " << k << " left:\n"
            << listing;
        if (listing == "d.EUC\nout.EUD\n") {
            const std::string found = readBytes(out);
            EXPECT_TRUE(found == complete || (k % 2 == 0 && found == old))
                << "kill " << k << " left " << found.size() << " bytes";
        }
    }
    RecordProperty("killed_while_running", killedWhileRunning);
    // On a busy machine a sleep can overrun while the command runs on another core: a quarter
    // of the kills landing still shows them spread over the run, its end included.
    EXPECT_GT(killedWhileRunning, Kills / 4);
}
