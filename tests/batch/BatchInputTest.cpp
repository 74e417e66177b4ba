#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "tests/batch/BatchRun.h"

namespace {

// Three nodes, two demand points and a candidate site, and a distance file that fits them.
const std::string Demand = "1 0 0 1 1 1\r\n2 3 4 1 1 1\r\n";
const std::string Sites = "1 6 8 x x 1\r\n";
const std::string Distances = "0\r\n5\r\n10\r\n5\r\n0\r\n5\r\n10\r\n5\r\n0\r\n";
// A road through the three nodes' places.
const std::string Roads =
    "<osm version=\"0.6\"><node id=\"1\" lon=\"0\" lat=\"0\"/><node id=\"2\" lon=\"3\" "
    "lat=\"4\"/><node id=\"3\" lon=\"6\" lat=\"8\"/><way id=\"1\"><nd ref=\"1\"/><nd "
    "ref=\"2\"/><nd ref=\"3\"/><tag k=\"highway\" v=\"road\"/></way></osm>\n";

// Endless lines of `line`, each ended by a CR, into the command; the command gets two
// minutes, far more than reading the lines a problem can hold takes, so an endless read
// fails the test instead of hanging it.
std::string endless(const std::string& line) {
    return "yes \"$(printf '" + line + "\\r')\" | timeout 120 ";
}

}  // namespace

// A pipe, standard input or a named pipe is read once, as a file is; a second read would
// find it empty.
TEST(BatchInput, PipesGiveTheAnswersFilesGive) {
    TempDir dir;
    dir.write("d.EUC", Demand);
    dir.write("s.EUC", Sites);
    dir.write("in.EUD", Distances);
    dir.write("roads.osm", Roads);
    ASSERT_EQ(mkfifo(dir.file("demand.fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(dir.file("distances.fifo").c_str(), 0600), 0);
    // Each writer, and the command, gives up after two minutes: a pipe read twice waits for
    // ever for a writer that has gone.
    const std::string feedBoth =
        "(timeout 120 cat d.EUC >demand.fifo &) && (timeout 120 cat in.EUD >distances.fifo &) && "
        "timeout 120 ";
    const struct {
        std::string verb;
        std::string fromFiles;
        std::string fromPipes;
        std::string launcher;
    } cases[] = {
        {"report --coverage 5 --json", "--demand d.EUC --candidates s.EUC --in in.EUD",
         "--demand /dev/stdin --candidates s.EUC --in in.EUD", "cat d.EUC | "},
        // The report names its distance file, so a piped one is read by transform.
        {"transform --coverage 5 --out o.EUD", "--demand d.EUC --candidates s.EUC --in in.EUD",
         "--demand d.EUC --candidates s.EUC --in /dev/stdin", "cat in.EUD | "},
        {"report --coverage 5", "--demand d.EUC --candidates s.EUC --metric euclidean",
         "--demand /dev/stdin --candidates s.EUC --metric euclidean", "cat d.EUC | "},
        {"check", "--demand d.EUC --candidates s.EUC --in in.EUD",
         "--demand demand.fifo --candidates s.EUC --in distances.fifo", feedBoth},
        {"transform --coverage 5 --out o.EUD", "--demand d.EUC --candidates s.EUC --in in.EUD",
         "--demand /dev/stdin --candidates s.EUC --in in.EUD", "cat d.EUC | "},
        {"network --out o.NED", "--demand d.EUC --candidates s.EUC --roads roads.osm",
         "--demand /dev/stdin --candidates s.EUC --roads roads.osm", "cat d.EUC | "},
        {"network --out o.NED", "--demand d.EUC --candidates s.EUC --roads roads.osm",
         "--demand d.EUC --candidates s.EUC --roads /dev/stdin", "cat roads.osm | "},
        {"report --coverage 5 --json", "--demand d.EUC --candidates s.EUC --roads roads.osm",
         "--demand /dev/stdin --candidates s.EUC --roads roads.osm", "cat d.EUC | "},
    };
    for (const auto& [verb, fromFiles, fromPipes, launcher] : cases) {
        const Result expected = run(dir, verb + " " + fromFiles);
        ASSERT_EQ(expected.status, 0) << verb << ": " << expected.err;
        const Result piped = run(dir, verb + " " + fromPipes, launcher);
        EXPECT_EQ(piped.status, 0) << verb << " " << fromPipes << ": " << piped.err;
        EXPECT_EQ(piped.err, "") << verb << " " << fromPipes;
        EXPECT_EQ(piped.out, expected.out) << verb << " " << fromPipes;
    }
}

// A refusal depends on what the input holds, never on whether it is a pipe.
TEST(BatchInput, RefusalsArePipeOrFileAlike) {
    TempDir dir;
    dir.write("d.EUC", Demand);
    dir.write("in.EUD", "0\r\n5\r\n5\r\n0\r\n");
    dir.write("bad.EUD", "0\r\n5\r\nx\r\n0\r\n");
    dir.write("bad.EUC", "1 0 0 1 1 1\r\n2 3 four 1 1 1\r\n");
    const struct {
        std::string fromFile;
        std::string fromPipe;
        std::string launcher;
        std::string pipedName;
    } cases[] = {
        {"check --demand d.EUC --in bad.EUD", "check --demand d.EUC --in /dev/stdin",
         "cat bad.EUD | ", "bad.EUD"},
        {"check --demand bad.EUC --in in.EUD", "check --demand /dev/stdin --in in.EUD",
         "cat bad.EUC | ", "bad.EUC"},
        {"compute --metric euclidean --demand bad.EUC --out o.EUD",
         "compute --metric euclidean --demand /dev/stdin --out o.EUD", "cat bad.EUC | ", "bad.EUC"},
    };
    for (const auto& [fromFile, fromPipe, launcher, pipedName] : cases) {
        const Result expected = run(dir, fromFile);
        ASSERT_EQ(expected.status, 1) << fromFile;
        const Result piped = run(dir, fromPipe, launcher);
        EXPECT_EQ(piped.status, 1) << fromPipe;
        std::string err = expected.err;
        for (std::size_t at = err.find(pipedName); at != std::string::npos;
             at = err.find(pipedName, at)) {
            err.replace(at, pipedName.size(), "/dev/stdin");
        }
        EXPECT_EQ(piped.err, err) << fromPipe;
    }
    EXPECT_EQ(folderListing(dir.path()), "bad.EUC\nbad.EUD\nd.EUC\nin.EUD\n");
}

// No problem has more than 901 nodes or 901 x 901 distances: endless input stops at the first
// line past that, with the message a file of that many lines gets.
TEST(BatchInput, EndlessInputStopsAtTheFirstLinePastTheLimit) {
    TempDir dir;
    dir.write("d.EUC", Demand);
    dir.write("in.EUD", "0\r\n5\r\n5\r\n0\r\n");
    std::string limit;
    for (int i = 0; i < 902; ++i) {
        limit += "1 0 0 1 1 1\r\n";
    }
    dir.write("902.EUC", limit);
    const std::string tooMany = "velmora-batch: /dev/stdin:902: Range check error\n";
    const struct {
        std::string arguments;
        std::string launcher;
        std::string err;
    } cases[] = {
        {"compute --metric euclidean --demand /dev/stdin --out o.EUD", endless("1 0 0 1 1 1"),
         tooMany},
        {"check --demand /dev/stdin --in in.EUD", endless("1 0 0 1 1 1"), tooMany},
        // Two demand nodes before: the 902nd node is the 900th site.
        {"check --demand d.EUC --candidates /dev/stdin --in in.EUD", endless("1 0 0 x x 1"),
         "velmora-batch: /dev/stdin:900: Range check error\n"},
        {"report --demand /dev/stdin --metric euclidean --coverage 5", endless("1 0 0 1 1 1"),
         tooMany},
        {"check --demand /dev/stdin --in in.EUD", "cat 902.EUC | ", tooMany},
        {"check --demand d.EUC --in /dev/stdin", endless("5"),
         "velmora-batch: /dev/stdin: Number of Distances Incompatible with Input Files (2 nodes "
         "need 4 lines, the file has more than 811801)\n"},
        {"transform --demand d.EUC --in /dev/stdin --out o.EUD --coverage 5", endless("5"),
         "velmora-batch: /dev/stdin: Number of Distances Incompatible with Input Files (2 nodes "
         "need 4 lines, the file has more than 811801)\n"},
    };
    for (const auto& [arguments, launcher, err] : cases) {
        const Result result = run(dir, arguments, launcher);
        EXPECT_EQ(result.status, 1) << launcher << arguments;
        EXPECT_EQ(result.err, err) << launcher << arguments;
        EXPECT_EQ(result.out, "") << launcher << arguments;
    }
    EXPECT_EQ(folderListing(dir.path()), "902.EUC\nd.EUC\nin.EUD\n");
}

// Whole numbers on the command line are decimal, as everywhere in the program: a leading zero
// is no octal, spaces around the number are allowed on both sides alike.
TEST(BatchUsage, WholeNumbersAreDecimalWithSpacesAllowedAround) {
    TempDir dir;
    dir.write("d.EUC", Demand);
    const std::string report = "report --demand d.EUC --metric euclidean --json --coverage ";
    const struct {
        std::string coverage;
        std::string shown;
    } accepted[] = {{"5", "5"},
                    {"' 5'", "5"},
                    {"'5 '", "5"},
                    {"' +5  '", "5"},
                    {"010", "10"},
                    {"-007", "-7"},
                    {"'-2147483648'", "-2147483648"}};
    for (const auto& [coverage, shown] : accepted) {
        const Result result = run(dir, report + coverage);
        EXPECT_EQ(result.status, 0) << coverage << ": " << result.err;
        EXPECT_NE(result.out.find("\"coverage\": " + shown + ","), std::string::npos)
            << coverage << ": " << result.out;
    }
    for (const char* coverage :
         {"0x5", "5.0", "1e1", "''", "' '", "'5 5'", "\"$(printf '\\t5')\"", "2147483648", "+-5"}) {
        const Result result = run(dir, report + coverage);
        EXPECT_EQ(result.status, 2) << coverage << ": " << result.out;
        EXPECT_EQ(result.err.rfind("velmora-batch: --coverage: ", 0), 0u) << result.err;
    }
    const Result weighted = run(dir, report + "5 --weight ' 010 '");
    ASSERT_EQ(weighted.status, 0) << weighted.err;
    EXPECT_NE(weighted.out.find("\"demandWeightPercent\": 10,"), std::string::npos) << weighted.out;
    // Scaled down so the largest distance is ten, not eight.
    dir.write("in.EUD", "0\r\n20\r\n20\r\n0\r\n");
    const Result scaled =
        run(dir, "transform --demand d.EUC --in in.EUD --out o.EUD --coverage 5 --scale ' 010 '");
    ASSERT_EQ(scaled.status, 0) << scaled.err;
    EXPECT_EQ(readBytes(dir.file("o.EUD")), "0\r\n10\r\n10\r\n0\r\n");
}
